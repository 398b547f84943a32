#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Walks the line-oriented data files (presets.xml, codecs.xml). They look like XML but are
// read by fixed line rules: header and root lines are skipped, a line without "</" starts an
// entry, the lines after it hold one field each, and one more line closes the entry unread.
class EntryFileReader
{
public:
    struct Layout
    {
        QStringList skippedLines; // header and root lines
        bool trimSkippedLines;    // whether they are recognised with surrounding spaces
        QStringList tags;         // one field line per tag follows an entry line
        int freeField;            // a record whose value here is empty is reused
    };

    struct Result
    {
        QList<QStringList> records; // one value per tag; index count is the record in work
        int count = 0;              // records complete; all of them once reading succeeded
        bool blank = false;         // the content held nothing but spaces: nothing was read
        QString error;              // what went wrong and where; empty on success
    };

    static constexpr int kMaxLines = 32768;
    static constexpr int kMaxPosition = 32767;

    // The whole file as 8-bit text in the system's code page.
    static bool readFile(const QString &path, QString *content, QString *error);
    static Result read(const QString &content, const Layout &layout);
};
