#include "ShellQuote.h"

#include <QRegularExpression>

#include <algorithm>

namespace {
bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f;
}

// $'...': backslash, quote and control characters escaped, the rest as it is.
QString ansiQuoted(const QString &text)
{
    QString quoted = QStringLiteral("$'");
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('\''))
            quoted += QLatin1Char('\\') + QString(c);
        else if (isControl(c))
            quoted += QStringLiteral("\\%1").arg(c.unicode(), 3, 8, QLatin1Char('0'));
        else
            quoted += c;
    }
    return quoted + QLatin1Char('\'');
}
} // namespace

QString ShellQuote::word(const QString &text)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:=,+@%-]+$"));
    if (plain.match(text).hasMatch())
        return text;
    if (std::any_of(text.cbegin(), text.cend(), isControl))
        return ansiQuoted(text);
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString ShellQuote::command(const QStringList &arguments)
{
    QStringList words;
    for (const QString &argument : arguments)
        words << word(argument);
    return words.join(QLatin1Char(' '));
}
