#pragma once

#include <QFile>
#include <QStringList>

// Builds presets.xml and codecs.xml texts for tests, lines joined by CR LF.
namespace DataFileText {

inline QString field(const QString &tag, const QString &value)
{
    return "<" + tag + ">" + value + "</" + tag + ">";
}

inline QStringList presetEntry(const QString &label, const QString &params,
                               const QString &extension, const QString &category)
{
    const QStringList fields = {field("label", label), field("params", params),
                                field("extension", extension), field("category", category)};
    return QStringList{"<preset>"} + fields + QStringList{"</preset>"};
}

inline QStringList codecEntry(const QString &name, const QString &description, const QString &type)
{
    return {"<codec>", field("name", name), field("description", description), field("type", type),
            "</codec>"};
}

// The header and root ("presets" or "codecs") lines around the entries, indented by rootIndent.
inline QString document(const QString &root, const QList<QStringList> &entries,
                        const QString &rootIndent = {})
{
    QStringList lines = {rootIndent + "<?xml version=\"1.0\"?>", rootIndent + "<" + root + ">"};
    for (const QStringList &entry : entries)
        lines += entry;
    return (lines << rootIndent + "</" + root + ">" << QString()).join("\r\n");
}

// Writes text into folder/name and returns the path.
inline QString writeFile(const QString &folder, const QString &name, const QString &text)
{
    QFile file(folder + "/" + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

} // namespace DataFileText
