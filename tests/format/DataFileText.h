#pragma once

#include <QStringList>

// Builds presets.xml and codecs.xml texts for tests, lines joined by CR LF.
namespace DataFileText {

QString crlf(const QStringList &lines);
QStringList presetEntry(const QString &label, const QString &params, const QString &extension,
                        const QString &category);
QStringList codecEntry(const QString &name, const QString &description, const QString &type);
// Header and root lines around the entries; rootIndent goes before the root lines.
QString presetsText(const QList<QStringList> &entries, const QString &rootIndent = {});
QString codecsText(const QList<QStringList> &entries, const QString &rootIndent = {});
// Writes text into folder/name and returns the path.
QString writeFile(const QString &folder, const QString &name, const QString &text);

} // namespace DataFileText
