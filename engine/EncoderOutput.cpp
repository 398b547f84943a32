#include "EncoderOutput.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr auto kTimeKey = QLatin1String("time=");

// Moves past the line that holds position: the result is the position of the LF that ends
// it (an LF alone or a CR LF pair both end a line), or -1 when no line end follows.
qsizetype hop(const QString &text, qsizetype position)
{
    return text.indexOf(QLatin1Char('\n'), position);
}

bool lineIsIndented(const QString &text, qsizetype lineFeed)
{
    const qsizetype next = lineFeed + 1;
    return next < text.size() &&
           (text.at(next) == QLatin1Char(' ') || text.at(next) == QLatin1Char('\t'));
}

// Hops from the landmark over its own line and then over at most hops - 1 further lines,
// but only over indented ones: those describe streams, while an error message that follows
// starts at the left margin and must stay in the detail. Without a line end after the
// landmark the whole text is the detail.
QString detailAfter(const QString &text, qsizetype landmark, int hops)
{
    qsizetype position = hop(text, landmark);
    if (position < 0)
        return text;
    for (int i = 1; i < hops && lineIsIndented(text, position); ++i) {
        const qsizetype next = hop(text, position + 1);
        if (next < 0)
            break;
        position = next;
    }
    return text.mid(position);
}

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

int decimalsOf(QStringView number)
{
    const qsizetype dot = number.indexOf(QLatin1Char('.'));
    return dot < 0 ? 0 : int(number.size() - dot - 1);
}
} // namespace

bool EncoderOutput::isUnknownFormat(QStringView text)
{
    return text.contains(QLatin1String("Unknown format"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("Invalid data found when processing input"),
                         Qt::CaseInsensitive);
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

QString EncoderOutput::errorDetail(const QString &output)
{
    if (output.trimmed().isEmpty())
        return QString();
    qsizetype landmark = output.indexOf(QLatin1String("Stream mapping:"), 0, Qt::CaseInsensitive);
    if (landmark >= 0)
        return detailAfter(output, landmark, 3);
    landmark = output.indexOf(QLatin1String("Input #"), 0, Qt::CaseInsensitive);
    if (landmark >= 0)
        return detailAfter(output, landmark, 4);
    for (const QLatin1String banner : {QLatin1String("built on"), QLatin1String("built with")}) {
        landmark = output.indexOf(banner, 0, Qt::CaseInsensitive);
        if (landmark >= 0)
            return detailAfter(output, landmark, 1);
    }
    return QString();
}

bool EncoderOutput::inputUnreadable(QStringView output, QStringView input)
{
    if (output.contains(QLatin1String("Unknown format"), Qt::CaseInsensitive))
        return true;
    const QString openFailure =
        input.toString() + QStringLiteral(": Invalid data found when processing input");
    return output.contains(openFailure);
}

bool EncoderOutput::encodingStarted(QStringView output)
{
    // "press [q] to stop encoding" in older encoders, "Press [q] to stop, [?] for help" today.
    return output.contains(QLatin1String("press [q] to stop"), Qt::CaseInsensitive);
}

QString EncoderOutput::errorLine(const QString &output)
{
    static const QLatin1String kSkipped[] = {
        QLatin1String("frame="),           QLatin1String("size="),
        QLatin1String("video:"),           QLatin1String("Conversion failed!"),
        QLatin1String("Exiting normally"), QLatin1String("Press [q]"),
        QLatin1String("Stream mapping:"),  QLatin1String("Output #"),
        QLatin1String("Input #"),          QLatin1String("Metadata:")};
    const QStringList lines =
        output.split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts);
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        const QString trimmed = line->trimmed();
        if (trimmed.isEmpty() || line->front().isSpace())
            continue;
        if (std::none_of(std::begin(kSkipped), std::end(kSkipped),
                         [&trimmed](QLatin1String start) { return trimmed.startsWith(start); }))
            return trimmed;
    }
    return QString();
}

bool EncoderOutput::diskFull(QStringView output)
{
    return output.contains(QLatin1String("No space left on device"));
}
