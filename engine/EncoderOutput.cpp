#include "engine/EncoderOutput.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr auto kTimeKey = QLatin1String("time=");

std::optional<double> decimal(QStringView text)
{
    if (text.isEmpty())
        return std::nullopt;
    for (const QChar c : text) {
        if (!c.isDigit() && c != QLatin1Char('.'))
            return std::nullopt;
    }
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// A path as the encoder prints it, its line breaks made blanks: one line, as in messageLines.
QString flatPath(const QString &path)
{
    QString flat = EncoderOutput::shownPath(path);
    for (QChar &c : flat) {
        if (c.unicode() >= 0x08 && c.unicode() <= 0x0D)
            c = QLatin1Char(' ');
    }
    return flat;
}

int decimalsOf(QStringView number)
{
    const qsizetype dot = number.indexOf(QLatin1Char('.'));
    return dot < 0 ? 0 : int(number.size() - dot - 1);
}
} // namespace

bool EncoderOutput::isUnknownFormat(const QString &output, const QString &input)
{
    return inputUnreadable(output, input);
}

std::optional<QString> EncoderOutput::progressTime(QStringView chunk)
{
    const qsizetype key = chunk.indexOf(kTimeKey, 0, Qt::CaseInsensitive);
    if (key < 0)
        return std::nullopt;
    const qsizetype start = key + kTimeKey.size();
    const qsizetype blank = chunk.indexOf(QLatin1Char(' '), start);
    if (blank < 0)
        return std::nullopt;
    return chunk.mid(start, blank - start).toString();
}

std::optional<double> EncoderOutput::seconds(QStringView timeText)
{
    // Negative times, including the "nothing written yet" sentinel, carry a minus sign and
    // fail the digit test below.
    const QList<QStringView> parts = timeText.split(QLatin1Char(':'));
    if (parts.size() != 1 && parts.size() != 3)
        return std::nullopt;
    double total = 0;
    for (const QStringView part : parts) {
        const std::optional<double> value = decimal(part);
        if (!value)
            return std::nullopt;
        total = total * 60 + *value;
    }
    return total;
}

QString EncoderOutput::secondsText(QStringView timeText)
{
    const std::optional<double> value = seconds(timeText);
    if (!value)
        return QString();
    if (!timeText.contains(QLatin1Char(':')))
        return timeText.toString();
    const QStringView secondsPart = timeText.mid(timeText.lastIndexOf(QLatin1Char(':')) + 1);
    return QString::number(*value, 'f', decimalsOf(secondsPart));
}

qint16 EncoderOutput::percent(double seconds, double lengthSeconds)
{
    const double whole = std::nearbyint(seconds);
    const double value = std::nearbyint(whole / lengthSeconds * 100.0);
    constexpr double low = std::numeric_limits<qint16>::min();
    constexpr double high = std::numeric_limits<qint16>::max();
    return qint16(std::isnan(value) ? 0 : std::clamp(value, low, high));
}

QString EncoderOutput::shownPath(const QString &path)
{
    QString shown = path;
    for (QChar &c : shown) {
        if (c.unicode() < 0x08 || (c.unicode() > 0x0D && c.unicode() < 0x20))
            c = QLatin1Char('?');
    }
    return shown;
}

QStringList EncoderOutput::messageLines(const QString &output, const QStringList &paths)
{
    QString text = output;
    for (const QString &path : paths) {
        const QString shown = shownPath(path);
        const QString flat = flatPath(path);
        if (flat != shown)
            text.replace(shown, flat);
    }
    static const QRegularExpression lineEnd(QStringLiteral("[\r\n]"));
    QStringList lines;
    for (const QString &line : text.split(lineEnd, Qt::SkipEmptyParts)) {
        if (!line.front().isSpace())
            lines << line;
    }
    return lines;
}

bool EncoderOutput::inputUnreadable(const QString &output, const QString &input)
{
    const QString openFailure =
        flatPath(input) + QStringLiteral(": Invalid data found when processing input");
    const QStringList lines = messageLines(output, {input});
    return std::any_of(lines.cbegin(), lines.cend(), [&openFailure](const QString &line) {
        return line.endsWith(QLatin1String(": Unknown format")) || line == openFailure;
    });
}

bool EncoderOutput::encodingStarted(const QString &output, const QStringList &paths)
{
    // "press [q] to stop encoding" in older encoders, "Press [q] to stop, [?] for help" today.
    const QStringList lines = messageLines(output, paths);
    return std::any_of(lines.cbegin(), lines.cend(), [](const QString &line) {
        return line.startsWith(QLatin1String("press [q] to stop"), Qt::CaseInsensitive);
    });
}

QString EncoderOutput::errorLine(const QString &output, const QStringList &paths)
{
    static const QLatin1String kSkipped[] = {
        QLatin1String("frame="),           QLatin1String("size="),
        QLatin1String("video:"),           QLatin1String("Conversion failed!"),
        QLatin1String("Exiting normally"), QLatin1String("Press [q]"),
        QLatin1String("Stream mapping:"),  QLatin1String("Output #"),
        QLatin1String("Input #"),          QLatin1String("Metadata:")};
    // What an encoder's error message says; statistics printed as it closes say none of it.
    static const QRegularExpression error(
        QStringLiteral("error|fail|invalid|unknown|not found|no such|denied|cannot|could not|"
                       "unable|no space|quota|not supported|unsupported|incorrect|too |missing|"
                       "already exists|does not|not exist|impossible|mismatch"),
        QRegularExpression::CaseInsensitiveOption);
    QString fallback;
    const QStringList lines = messageLines(output, paths);
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        const QString trimmed = line->trimmed();
        if (trimmed.isEmpty() ||
            std::any_of(std::begin(kSkipped), std::end(kSkipped),
                        [&trimmed](QLatin1String start) { return trimmed.startsWith(start); }))
            continue;
        if (trimmed.contains(error))
            return trimmed;
        if (fallback.isEmpty())
            fallback = trimmed;
    }
    return fallback;
}

bool EncoderOutput::diskFull(const QString &output, const QStringList &paths)
{
    const QStringList lines = messageLines(output, paths);
    return std::any_of(lines.cbegin(), lines.cend(), [](const QString &line) {
        const QString trimmed = line.trimmed();
        return trimmed.endsWith(QLatin1String("No space left on device")) ||
               trimmed.endsWith(QLatin1String("Disk quota exceeded"));
    });
}
