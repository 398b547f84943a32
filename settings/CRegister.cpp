#include "CRegister.h"

#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryFile>

namespace {
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

// A file the store cannot parse would refuse every later write. The original is kept beside it
// (".damaged") and a clean file takes over every value that could still be read from it.
void rewriteIfDamaged(const QString &file)
{
    QFile original(file);
    if (!original.open(QIODevice::ReadOnly))
        return;
    // Judged on a private copy: Qt caches parsed files, which hides a parse error from the
    // readers that come after the first one in this process.
    QTemporaryFile copy;
    if (!copy.open() || copy.write(original.readAll()) != original.size() || !copy.flush())
        return;
    original.close();
    QList<QPair<QString, QVariant>> readable;
    {
        QSettings damaged(copy.fileName(), QSettings::IniFormat);
        const QStringList keys = damaged.allKeys();
        if (damaged.status() != QSettings::FormatError)
            return;
        for (const QString &key : keys)
            readable.append({key, damaged.value(key)});
    }
    const QString aside = file + QStringLiteral(".damaged");
    QFile::remove(aside);
    if (!QFile::rename(file, aside))
        return;
    QSettings clean(file, QSettings::IniFormat);
    for (const auto &[key, value] : readable)
        clean.setValue(key, value);
    clean.sync();
}
} // namespace

CRegister::CRegister()
    : CRegister(QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tarnwick"),
                          QStringLiteral("Reelforge"))
                    .fileName())
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
    QSettings store(m_file, QSettings::IniFormat);
    const QVariant stored = store.value(group + QLatin1Char('/') + valueName(sKey));
    // Only text counts; a value of another shape is as good as missing.
    if (!stored.isValid() || !stored.canConvert<QString>())
        return sDefault;
    const QString text = stored.toString();
    return text.isEmpty() ? sDefault : text;
}

bool CRegister::REGSaveSetting(quint32 regHKEY, const QString &sSection, const QString &sKey,
                               const QString &sValue) const
{
    const QString group = groupPath(regHKEY, TrimSection(sSection));
    if (group.isEmpty() || sKey.isEmpty())
        return false;
    rewriteIfDamaged(m_file);
    QSettings store(m_file, QSettings::IniFormat);
    if (!store.isWritable())
        return false;
    store.setValue(group + QLatin1Char('/') + valueName(sKey), sValue);
    store.sync();
    return store.status() == QSettings::NoError;
}

bool CRegister::REGDeleteSetting(quint32 regHKEY, const QString &sSection,
                                 const QString &sKey) const
{
    rewriteIfDamaged(m_file);
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
