#include "filelist/MediaProbe.h"

#include "filelist/FileListStatus.h"
#include "filelist/MediaLibrary.h"
#include "filelist/MediaStreamReader.h"

#include <QLocale>

#include <cmath>
#include <optional>

namespace {
QString twoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// A length beyond about 31 years is taken for a damaged or crafted file's claim.
constexpr double kLongestMs = 1e12;

// The length in milliseconds when it is one a file can have; none otherwise.
std::optional<double> plausibleLength(double milliseconds)
{
    if (!std::isfinite(milliseconds) || milliseconds < 0 || milliseconds > kLongestMs)
        return std::nullopt;
    return milliseconds;
}

// The playing time in milliseconds of the file open in info; none when it tells none.
std::optional<double> generalDuration(const MediaLibrary &info)
{
    const QString answer = info.text(MediaLibrary::Kind::General, 0, L"Duration");
    // Some containers report several durations ("1000 / 1001"); the first one is the file's.
    const QString first = answer.section(QLatin1Char(' '), 0, 0);
    bool isNumber = false;
    const double length = first.toDouble(&isNumber);
    return isNumber ? plausibleLength(length) : std::nullopt;
}
} // namespace

QString MediaProbe::GetMediaDuration(const QString &path, qint64 *milliseconds)
{
    const Facts facts = inspect(path);
    if (milliseconds)
        *milliseconds = facts.durationMs;
    return facts.duration;
}

MediaProbe::Facts MediaProbe::inspect(const QString &path)
{
    Facts facts;
    MediaLibrary info;
    if (!info.open(path))
        return facts;
    facts.opened = true;
    facts.videoStreams = int(info.count(MediaLibrary::Kind::Video));
    facts.audioStreams = int(info.count(MediaLibrary::Kind::Audio));
    facts.duration = FileListStatus::Error;
    if (const std::optional<double> length = generalDuration(info)) {
        facts.durationMs = qint64(std::nearbyint(*length));
        facts.duration = durationText(*length);
    }
    facts.streams = MediaStreamReader::read(info);
    return facts;
}

QString MediaProbe::durationText(double milliseconds)
{
    if (!plausibleLength(milliseconds))
        return FileListStatus::Error;
    // Whole seconds first, ties to even (the default rounding mode), so no part reads 60.
    const qint64 total = qint64(std::nearbyint(milliseconds / 1000.0));
    return twoDigits(total / 3600) + QLatin1Char(':') + twoDigits(total / 60 % 60) +
           QLatin1Char(':') + twoDigits(total % 60);
}

QString MediaProbe::FormatFileSize(qint64 bytes)
{
    if (bytes < 1024)
        return QString::number(bytes) + QStringLiteral(" Bytes");
    qint64 unit = 1024;
    QString suffix = QStringLiteral(" KB");
    if (bytes >= qint64(1) << 30) {
        unit = qint64(1) << 30;
        suffix = QStringLiteral(" GB");
    } else if (bytes >= qint64(1) << 20) {
        unit = qint64(1) << 20;
        suffix = QStringLiteral(" MB");
    }
    // Hundredths in exact integers: a ratio such as 1.125 is a true tie and goes to even.
    const qint64 whole = bytes / unit;
    const qint64 scaledRest = bytes % unit * 100;
    qint64 hundredths = whole * 100 + scaledRest / unit;
    const qint64 remainder = scaledRest % unit;
    if (remainder * 2 > unit || (remainder * 2 == unit && hundredths % 2 == 1))
        ++hundredths;

    QString text = QString::number(hundredths / 100);
    const qint64 fraction = hundredths % 100;
    if (fraction != 0) {
        QString digits = twoDigits(fraction);
        if (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        text += QLocale::system().decimalPoint() + digits;
    }
    return text + suffix;
}
