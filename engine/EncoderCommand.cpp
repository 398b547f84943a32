#include "EncoderCommand.h"

#include "EncoderPath.h"

#include <QProcess>

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
