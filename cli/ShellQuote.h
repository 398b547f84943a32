#pragma once

#include <QString>
#include <QStringList>

// Words written so that a POSIX shell reads them back unchanged, each command on one line.
// Plain words stay as they are; others go in single quotes; a word holding a control
// character (a newline, say) uses bash's $'...' form so that the line stays one line.
class ShellQuote
{
public:
    static QString word(const QString &text);
    static QString command(const QStringList &arguments);
};
