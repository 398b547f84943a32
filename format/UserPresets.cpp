#include "format/UserPresets.h"

#include "format/EntryFileReader.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

struct Read
{
    PresetTable table;
    QString error; // what is wrong with the file; empty when it can be used
};

Read readFile(const QString &path, bool required)
{
    Read read;
    if (!required && !QFileInfo::exists(path))
        return read;
    QString content;
    if (!EntryFileReader::readFile(path, &content, &read.error))
        return read;
    // Lines are split at CR LF only: a file saved with LF alone would silently read as empty.
    if (content.contains(QRegularExpression(QStringLiteral("(?<!\r)\n")))) {
        read.error = QStringLiteral("Its lines end in LF alone; they must end in CR LF.");
        return read;
    }
    const PresetsFile::Result presets = PresetsFile::read(content);
    read.error = presets.error;
    if (presets.ok())
        read.table = PresetTable().followedBy(presets.table);
    return read;
}

QString entry(const PresetRecord &preset)
{
    return QStringLiteral("  <preset>\r\n    <label>%1</label>\r\n    <params>%2</params>\r\n"
                          "    <extension>%3</extension>\r\n    <category>%4</category>\r\n"
                          "  </preset>\r\n")
        .arg(preset.label, preset.params, preset.extension, preset.category);
}

} // namespace

QString UserPresets::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/reelforge/presets.xml");
}

QString UserPresets::category()
{
    return QStringLiteral("My Presets");
}

QString UserPresets::addTo(PresetsFile::Result &presets, const QString &shippedPath,
                           const QString &path, bool required)
{
    const QFileInfo user(path);
    if (user.exists() && user == QFileInfo(shippedPath))
        return QString();
    const Read read = readFile(path, required);
    if (!read.error.isEmpty())
        return QStringLiteral("Your own presets in %1 could not be loaded; only the shipped "
                              "presets are offered. %2")
            .arg(QDir::toNativeSeparators(path), read.error);
    presets.table = presets.table.followedBy(read.table);
    presets.categories = presets.table.categories();
    return QString();
}

QString UserPresets::save(const QString &path, const PresetRecord &preset)
{
    static const QRegularExpression unfit(QStringLiteral("[<>\r\n]"));
    if (preset.label.trimmed().isEmpty() || preset.label.contains(unfit))
        return QStringLiteral("A preset's name cannot be empty, nor hold a line break, \"<\" or "
                              "\">\". Nothing was saved.");
    const QString shown = QDir::toNativeSeparators(path);
    const Read existing = readFile(path, false);
    if (!existing.error.isEmpty())
        return QStringLiteral("Your presets file %1 is damaged, so it was left as it is and "
                              "nothing was saved. Repair or remove it first. %2")
            .arg(shown, existing.error);
    QList<PresetRecord> records = existing.table.records();
    for (const PresetRecord &held : records) {
        if (held.category == preset.category && held.label == preset.label)
            return QStringLiteral("\"%1\" already holds a preset named \"%2\". Nothing was saved.")
                .arg(preset.category, preset.label);
    }
    records.append(preset);

    QString content = QStringLiteral("<?xml version=\"1.0\"?>\r\n<presets>\r\n");
    for (const PresetRecord &record : records)
        content += entry(record);
    content += QStringLiteral("</presets>\r\n");
    // What the reader would refuse (a name too long for its line, too many presets) stays out.
    const PresetsFile::Result check = PresetsFile::read(content);
    if (!check.ok())
        return QStringLiteral("This preset cannot be held in the presets file: %1 Nothing was "
                              "saved.")
            .arg(check.error);

    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("The folder for %1 could not be made. Nothing was saved.").arg(shown);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content.toLocal8Bit()) < 0 || !file.commit())
        return QStringLiteral("Could not save %1: %2").arg(shown, file.errorString());
    return QString();
}
