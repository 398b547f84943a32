#include "format/EntryFileReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString trimSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

// 1-based position of needle in line, 0 when absent.
qsizetype position(const QString &line, const QString &needle,
                   Qt::CaseSensitivity cs = Qt::CaseSensitive)
{
    return line.indexOf(needle, 0, cs) + 1;
}

QString tooFar(int lineNumber)
{
    return QStringLiteral("Line %1: a tag stands beyond column %2.")
        .arg(lineNumber)
        .arg(EntryFileReader::kMaxPosition);
}

// Reads "<tag>value</tag>" into record when tag is one of tags; other tags are ignored.
bool readField(const QString &line, int lineNumber, const QStringList &tags, QStringList &record,
               QString *error)
{
    const qsizetype a = position(line, QStringLiteral("<"));
    const qsizetype b = position(line, QStringLiteral(">"));
    if (a > EntryFileReader::kMaxPosition || b > EntryFileReader::kMaxPosition) {
        *error = tooFar(lineNumber);
        return false;
    }
    const qsizetype tagLength = b - a - 1;
    if (tagLength < 0) {
        if (a == 0 && b == 0)
            *error = QStringLiteral("Line %1 should hold a field but has no tag.").arg(lineNumber);
        else if (b == 0)
            *error = QStringLiteral("Line %1: the opening tag has no \">\".").arg(lineNumber);
        else
            *error =
                QStringLiteral("Line %1: \">\" stands before the first \"<\".").arg(lineNumber);
        return false;
    }
    const QString tag = line.mid(a, tagLength);
    const qsizetype c = position(line, QStringLiteral("</") + tag, Qt::CaseInsensitive);
    if (c > EntryFileReader::kMaxPosition) {
        *error = tooFar(lineNumber);
        return false;
    }
    const int field = tags.indexOf(tag);
    if (field < 0)
        return true;
    const qsizetype valueLength = c - a - (tag.size() + 2);
    if (valueLength < 0) {
        *error = QStringLiteral("Line %1: the closing tag \"</%2>\" is missing.")
                     .arg(lineNumber)
                     .arg(tag);
        return false;
    }
    record[field] = line.mid(a + tag.size() + 1, valueLength);
    return true;
}

} // namespace

bool EntryFileReader::readFile(const QString &path, QString *content, QString *error)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        *error = QStringLiteral("%1 is not a regular file.").arg(shown);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Cannot open %1: %2").arg(shown, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("Cannot read %1: %2").arg(shown, file.errorString());
        return false;
    }
    *content = QString::fromLocal8Bit(bytes);
    return true;
}

EntryFileReader::Result EntryFileReader::read(const QString &content, const Layout &layout)
{
    Result result;
    if (trimSpaces(content).isEmpty()) {
        result.blank = true;
        return result;
    }
    const QStringList lines = content.split(QStringLiteral("\r\n"));
    const int fields = int(layout.tags.size());
    const QStringList freshRecord(fields);
    result.records.append(freshRecord);
    if (lines.size() > kMaxLines) {
        result.error = QStringLiteral("The file has %1 lines; at most %2 can be read.")
                           .arg(lines.size())
                           .arg(kMaxLines);
        return result;
    }
    const int lineCount = int(lines.size());
    int i = 0;
    while (i < lineCount) {
        const QString &line = lines.at(i);
        const QString compared = layout.trimSkippedLines ? trimSpaces(line) : line;
        if (line.isEmpty() || layout.skippedLines.contains(compared) ||
            line.contains(QStringLiteral("</"))) {
            ++i;
            continue;
        }
        if (!result.records.at(result.count).at(layout.freeField).isEmpty()) {
            ++result.count;
            result.records.append(freshRecord);
        }
        for (int k = 1; k <= fields; ++k) {
            if (i + k >= lineCount) {
                result.error = QStringLiteral("Line %1 starts an entry that needs %2 field lines, "
                                              "but the file ends after line %3.")
                                   .arg(i + 1)
                                   .arg(fields)
                                   .arg(lineCount);
                return result;
            }
            if (!readField(lines.at(i + k), i + k + 1, layout.tags, result.records[result.count],
                           &result.error))
                return result;
        }
        i += fields + 2;
    }
    ++result.count;
    return result;
}
