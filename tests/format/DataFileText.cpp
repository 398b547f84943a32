#include "DataFileText.h"

#include <QFile>

namespace {
QString document(const QString &root, const QList<QStringList> &entries, const QString &indent)
{
    QStringList lines = {indent + "<?xml version=\"1.0\"?>", indent + "<" + root + ">"};
    for (const QStringList &entry : entries)
        lines += entry;
    lines << indent + "</" + root + ">" << QString();
    return DataFileText::crlf(lines);
}
} // namespace

QString DataFileText::crlf(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\n"));
}

QStringList DataFileText::presetEntry(const QString &label, const QString &params,
                                      const QString &extension, const QString &category)
{
    return {"<preset>",
            "<label>" + label + "</label>",
            "<params>" + params + "</params>",
            "<extension>" + extension + "</extension>",
            "<category>" + category + "</category>",
            "</preset>"};
}

QStringList DataFileText::codecEntry(const QString &name, const QString &description,
                                     const QString &type)
{
    return {"<codec>", "<name>" + name + "</name>",
            "<description>" + description + "</description>", "<type>" + type + "</type>",
            "</codec>"};
}

QString DataFileText::presetsText(const QList<QStringList> &entries, const QString &rootIndent)
{
    return document("presets", entries, rootIndent);
}

QString DataFileText::codecsText(const QList<QStringList> &entries, const QString &rootIndent)
{
    return document("codecs", entries, rootIndent);
}

QString DataFileText::writeFile(const QString &folder, const QString &name, const QString &text)
{
    const QString path = folder + "/" + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
        qFatal("cannot write %s", qPrintable(path));
    return path;
}
