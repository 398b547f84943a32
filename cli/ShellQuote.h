#pragma once

#include <QString>
#include <QStringList>

// Command lines that bash, dash and zsh read back word for word, each on one line. Words go in
// POSIX single quotes; control characters, which would break the line or reach a terminal,
// are made by printf at run time, a line break through a variable set at the start of the line.
class ShellQuote
{
public:
    // One word; newline is set when it takes a line break from "$lf".
    static QString word(const QString &text, bool *newline);
    // The words of one command, each quoted, joined by blanks.
    static QString command(const QStringList &words, bool *newline);
    // What a line starts with: the definition of "$lf" when one of its words needs it.
    static QString lineStart(bool newline);
};
