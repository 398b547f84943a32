#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// Command lines that bash, dash and zsh read back word for word, each on one line. Words go in
// POSIX single quotes; control characters, which would break the line or reach a terminal,
// are made by printf at run time, a newline through a variable set at the start of the line.
class ShellQuote
{
public:
    // The commands joined by "&&": each runs only when the one before succeeded.
    static QString line(const QVector<QStringList> &commands);
};
