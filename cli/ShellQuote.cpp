#include "cli/ShellQuote.h"

#include <QRegularExpression>

#include <algorithm>

namespace {
// A newline cannot come from "$(printf ...)", which drops trailing newlines.
const QString kNewline = QStringLiteral("\"$lf\"");
const QString kSetNewline = QStringLiteral("lf=$(printf '\\nx'); lf=${lf%x}; ");

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() <= 0x9f);
}

QString printed(QChar c)
{
    if (c == QLatin1Char('\n'))
        return kNewline;
    QString format;
    for (const char byte : QString(c).toUtf8())
        format += QStringLiteral("\\%1").arg(uchar(byte), 3, 8, QLatin1Char('0'));
    return QStringLiteral("\"$(printf '%1')\"").arg(format);
}
} // namespace

QString ShellQuote::word(const QString &text, bool *newline)
{
    // zsh expands a word that starts with "=".
    static const QRegularExpression plain(
        QStringLiteral("\\A[A-Za-z0-9_./:,+@%-][A-Za-z0-9_./:=,+@%-]*\\z"));
    if (plain.match(text).hasMatch())
        return text;
    QString quoted;
    bool open = false;
    for (const QChar c : text) {
        if (isControl(c)) {
            if (open)
                quoted += QLatin1Char('\'');
            open = false;
            quoted += printed(c);
            *newline = *newline || c == QLatin1Char('\n');
            continue;
        }
        if (!open)
            quoted += QLatin1Char('\'');
        open = true;
        quoted += c == QLatin1Char('\'') ? QStringLiteral("'\\''") : QString(c);
    }
    if (open)
        quoted += QLatin1Char('\'');
    return quoted.isEmpty() ? QStringLiteral("''") : quoted;
}

QString ShellQuote::command(const QStringList &words, bool *newline)
{
    QStringList quoted;
    for (const QString &text : words)
        quoted << word(text, newline);
    return quoted.join(QLatin1Char(' '));
}

QString ShellQuote::lineStart(bool newline)
{
    return newline ? kSetNewline : QString();
}
