#include "settings/CRegister.h"

#include <QFile>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

#include <algorithm>
#include <memory>

namespace {
using Values = CRegister::Values;

// The key's unnamed value, under a name no control can have.
const QString kUnnamedValue = QStringLiteral("(Default)");

QString rootName(quint32 root)
{
    switch (root) {
    case CRegister::HKEY_CLASSES_ROOT:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case CRegister::HKEY_CURRENT_USER:
        return QStringLiteral("HKEY_CURRENT_USER");
    case CRegister::HKEY_LOCAL_MACHINE:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case CRegister::HKEY_USERS:
        return QStringLiteral("HKEY_USERS");
    case CRegister::HKEY_CURRENT_CONFIG:
        return QStringLiteral("HKEY_CURRENT_CONFIG");
    default:
        return QString();
    }
}

// The group path of a key, or empty when the root is unknown or a key name is empty or
// holds a character the store uses itself.
QString groupPath(quint32 root, const QString &section)
{
    const QString rootGroup = rootName(root);
    if (rootGroup.isEmpty())
        return QString();
    if (section.isEmpty())
        return rootGroup;
    QStringList names = section.split(QLatin1Char('\\'));
    for (const QString &name : names) {
        if (name.isEmpty() || name.contains(QLatin1Char('/')))
            return QString();
    }
    return rootGroup + QLatin1Char('/') + names.join(QLatin1Char('/'));
}

QString valueName(const QString &key)
{
    return key == QLatin1String("*") ? kUnnamedValue : key;
}

// A line the store reads on its own: blank, a comment, a section header, or a name=value
// whose quotes close and which does not run on into the next line through a backslash.
bool standsAlone(QByteArrayView line)
{
    while (!line.isEmpty() && (line.front() == ' ' || line.front() == '\t'))
        line = line.sliced(1);
    if (line.isEmpty() || line.front() == ';')
        return true;
    bool quoted = false;
    bool assigns = false;
    qsizetype end = 0;
    for (; end < line.size(); ++end) {
        const char c = line.at(end);
        if (c == '\\' && ++end == line.size())
            return false;
        if (c == '"')
            quoted = !quoted;
        else if (c == '=' && !quoted)
            assigns = true;
        else if (c == ';' && !quoted)
            break; // the rest is a comment
    }
    if (quoted)
        return false;
    return line.front() == '[' ? line.first(end).contains(']') : assigns;
}

// The content without the lines that would make the store misread or drop others; every other
// byte is kept as it is.
QByteArray withoutJunk(const QByteArray &content)
{
    QByteArray kept;
    for (qsizetype start = 0; start < content.size();) {
        qsizetype end = start;
        while (end < content.size() && content.at(end) != '\n' && content.at(end) != '\r')
            ++end;
        const qsizetype next = std::min(end + 1, content.size());
        if (standsAlone(QByteArrayView(content).sliced(start, end - start)))
            kept += QByteArrayView(content).sliced(start, next - start);
        start = next;
    }
    return kept;
}
QByteArray contentOf(const QString &file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

// A private copy of content for the store to parse. Qt caches parsed files by name, which would
// hide a parse error, or the file's own junk, from readers after the first one in this process.
std::unique_ptr<QTemporaryFile> privateCopy(const QByteArray &content)
{
    auto copy = std::make_unique<QTemporaryFile>();
    if (!copy->open() || copy->write(content) != content.size() || !copy->flush())
        return nullptr;
    return copy;
}

// One read of a settings file: its bytes, and the store's parse of them without the junk.
struct Reading
{
    QByteArray content;
    bool junk = false;
    std::unique_ptr<QTemporaryFile> copy;
    std::unique_ptr<QSettings> parsed; // null when the file has junk and no copy could be made

    // Judged sound when it cannot be judged, as long as no junk shows.
    bool sound() const { return !junk && (!copy || parsed->status() != QSettings::FormatError); }
    QVariant value(const QString &key) const { return parsed ? parsed->value(key) : QVariant(); }
};

Reading readFile(const QString &file)
{
    Reading reading;
    reading.content = contentOf(file);
    const QByteArray clean = withoutJunk(reading.content);
    reading.junk = clean != reading.content;
    reading.copy = privateCopy(clean);
    if (reading.copy)
        reading.parsed =
            std::make_unique<QSettings>(reading.copy->fileName(), QSettings::IniFormat);
    else if (!reading.junk)
        reading.parsed = std::make_unique<QSettings>(file, QSettings::IniFormat);
    return reading;
}

// Only text counts; a value of another shape is as good as missing.
QString textOf(const QVariant &stored)
{
    return stored.isValid() && stored.canConvert<QString>() ? stored.toString() : QString();
}

bool replaceContent(const QString &file, const QByteArray &content)
{
    QSaveFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(content) == content.size() && out.commit();
}

enum class Repair { NotNeeded, Done, Failed };

// A file with junk or one the store cannot parse would lose values, or refuse every later
// write. The original is kept beside it (".damaged") and a clean file takes over every value
// that could still be read, with the given values on top; Failed when that could not be done,
// and the file is left as it was.
Repair repairWith(const QString &file, const Reading &stored, const Values &values)
{
    if (stored.sound())
        return Repair::NotNeeded;
    const std::unique_ptr<QTemporaryFile> rewritten = privateCopy(QByteArray());
    if (!stored.parsed || !rewritten)
        return Repair::Failed;
    {
        QSettings rewrite(rewritten->fileName(), QSettings::IniFormat);
        for (const QString &key : stored.parsed->allKeys())
            rewrite.setValue(key, stored.parsed->value(key));
        for (const auto &[key, text] : values)
            rewrite.setValue(key, text);
        rewrite.sync();
        if (rewrite.status() != QSettings::NoError)
            return Repair::Failed;
    }
    const bool replaced = replaceContent(file + QStringLiteral(".damaged"), stored.content) &&
                          replaceContent(file, contentOf(rewritten->fileName()));
    return replaced ? Repair::Done : Repair::Failed;
}

// Writes the values, under their full keys, in one replacement of the file.
bool writeValues(const QString &file, const Reading &stored, const Values &values)
{
    const Repair repair = repairWith(file, stored, values);
    if (repair != Repair::NotNeeded)
        return repair == Repair::Done;
    QSettings store(file, QSettings::IniFormat);
    if (!store.isWritable())
        return false;
    for (const auto &[key, text] : values)
        store.setValue(key, text);
    store.sync();
    return store.status() == QSettings::NoError;
}
} // namespace

// Where QSettings keeps the user's own INI file, named without opening it.
CRegister::CRegister()
    : CRegister(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                QStringLiteral("/Tarnwick/Reelforge.ini"))
{
}

CRegister::CRegister(const QString &iniFile) : m_file(iniFile) {}

QString CRegister::TrimSection(const QString &section)
{
    QString trimmed = section;
    if (trimmed.startsWith(QLatin1Char('\\')))
        trimmed.remove(0, 1);
    if (trimmed.endsWith(QLatin1Char('\\')))
        trimmed.chop(1);
    return trimmed;
}

QString CRegister::REGGetSetting(quint32 regHKEY, const QString &sSection, const QString &sKey,
                                 const QString &sDefault) const
{
    const QString group = groupPath(regHKEY, TrimSection(sSection));
    if (group.isEmpty() || sKey.isEmpty())
        return sDefault;
    const QString text = textOf(readFile(m_file).value(group + QLatin1Char('/') + valueName(sKey)));
    return text.isEmpty() ? sDefault : text;
}

QHash<QString, QString> CRegister::REGGetSettings(quint32 regHKEY, const QString &sSection) const
{
    QHash<QString, QString> texts;
    const QString group = groupPath(regHKEY, TrimSection(sSection));
    const Reading stored = readFile(m_file);
    if (group.isEmpty() || !stored.parsed)
        return texts;
    stored.parsed->beginGroup(group);
    for (const QString &name : stored.parsed->childKeys()) {
        const QString text = textOf(stored.parsed->value(name));
        if (!text.isEmpty())
            texts.insert(name == kUnnamedValue ? QStringLiteral("*") : name, text);
    }
    return texts;
}

bool CRegister::REGSaveSetting(quint32 regHKEY, const QString &sSection, const QString &sKey,
                               const QString &sValue) const
{
    return REGSaveSettings(regHKEY, sSection, {{sKey, sValue}});
}

bool CRegister::REGSaveSettings(quint32 regHKEY, const QString &sSection,
                                const Values &values) const
{
    const QString group = groupPath(regHKEY, TrimSection(sSection));
    if (group.isEmpty())
        return false;
    const Reading stored = readFile(m_file);
    Values keyed;
    bool unchanged = stored.sound();
    for (const auto &[name, text] : values) {
        if (name.isEmpty())
            return false;
        keyed.append({group + QLatin1Char('/') + valueName(name), text});
        const QVariant was = stored.value(keyed.last().first);
        unchanged = unchanged && was.typeId() == QMetaType::QString && was.toString() == text;
    }
    return unchanged || writeValues(m_file, stored, keyed);
}

bool CRegister::REGDeleteSetting(quint32 regHKEY, const QString &sSection,
                                 const QString &sKey) const
{
    if (repairWith(m_file, readFile(m_file), {}) == Repair::Failed)
        return false;
    QSettings store(m_file, QSettings::IniFormat);
    if (!store.isWritable())
        return false;
    if (!sKey.isEmpty()) {
        const QString group = groupPath(regHKEY, TrimSection(sSection));
        if (group.isEmpty())
            return false;
        const QString value = group + QLatin1Char('/') + valueName(sKey);
        if (!store.contains(value))
            return false;
        store.remove(value);
    } else {
        // The key is named as given, without trimming; a key with subkeys stays.
        const QString group = groupPath(regHKEY, sSection);
        if (group.isEmpty() || sSection.isEmpty())
            return false;
        store.beginGroup(group);
        const bool exists = !store.childKeys().isEmpty() || !store.childGroups().isEmpty();
        const bool hasSubkeys = !store.childGroups().isEmpty();
        store.endGroup();
        if (!exists || hasSubkeys)
            return false;
        store.remove(group);
    }
    store.sync();
    return store.status() == QSettings::NoError;
}
