#include "engine/EncoderCommand.h"

#include "engine/EncoderPath.h"

#include <QProcess>

#include <algorithm>

namespace {
QString quoted(const QString &path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}
} // namespace

QStringList EncoderCommand::conversion(const QString &input, const QString &options,
                                       const QString &output)
{
    return probe(input) + QProcess::splitCommand(options) + QStringList{output};
}

QString EncoderCommand::conversionText(const QString &input, const QString &options,
                                       const QString &output)
{
    return probeText(input) + QLatin1Char(' ') + options + QLatin1Char(' ') + quoted(output);
}

QStringList EncoderCommand::probe(const QString &input)
{
    return {EncoderPath::program(), QStringLiteral("-i"), input};
}

QString EncoderCommand::probeText(const QString &input)
{
    return EncoderPath::program() + QStringLiteral(" -i ") + quoted(input);
}

QString EncoderCommand::joinedOptions(const QStringList &words)
{
    QStringList quoted;
    for (QString word : words) {
        const bool plain = std::none_of(word.begin(), word.end(), [](QChar ch) {
            return ch.isSpace() || ch == QLatin1Char('"');
        });
        if (plain && !word.isEmpty()) {
            quoted << word;
            continue;
        }
        // Within double quotes a quote is written three times.
        word.replace(QLatin1String("\""), QLatin1String("\"\"\""));
        quoted << QLatin1Char('"') + word + QLatin1Char('"');
    }
    return quoted.join(QLatin1Char(' '));
}
