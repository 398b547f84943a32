#include "batch/StreamFit.h"

#include "batch/CodecNames.h"
#include "format/CustomLists.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSize>

#include <cmath>
#include <optional>

namespace {
using Kind = MediaStream::Kind;
using Option = FormatOptions::Option;

// Options that only steer how an encoder works, or how the file is written.
bool changesNothingCopied(const QString &name)
{
    static const QSet<QString> names = {QStringLiteral("c"),
                                        QStringLiteral("preset"),
                                        QStringLiteral("tune"),
                                        QStringLiteral("crf"),
                                        QStringLiteral("qp"),
                                        QStringLiteral("q"),
                                        QStringLiteral("g"),
                                        QStringLiteral("bf"),
                                        QStringLiteral("x264-params"),
                                        QStringLiteral("x265-params"),
                                        QStringLiteral("deadline"),
                                        QStringLiteral("cpu-used"),
                                        QStringLiteral("row-mt"),
                                        QStringLiteral("slicecrc"),
                                        QStringLiteral("tag"),
                                        QStringLiteral("threads"),
                                        QStringLiteral("movflags"),
                                        QStringLiteral("f"),
                                        QStringLiteral("metadata"),
                                        QStringLiteral("map_metadata"),
                                        QStringLiteral("map_chapters"),
                                        QStringLiteral("y"),
                                        QStringLiteral("n"),
                                        QStringLiteral("compression_level")};
    return names.contains(name);
}

// "128k", "1.5M" or "320000" in bits per second.
std::optional<double> bitsPerSecond(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9.]+)([kKM]?)$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const double scale = match.captured(2).isEmpty()               ? 1
                         : match.captured(2) == QLatin1String("M") ? 1e6
                                                                   : 1e3;
    return match.captured(1).toDouble() * scale;
}

std::optional<QSize> namedSize(const QString &text)
{
    static const QRegularExpression dimensions(QStringLiteral("^(\\d+)x(\\d+)$"));
    QRegularExpressionMatch match = dimensions.match(text.trimmed());
    if (match.hasMatch())
        return QSize(match.captured(1).toInt(), match.captured(2).toInt());
    for (const QString &item : CustomLists::sizes()) {
        if (item.section(QLatin1Char('('), 0, 0) == text.trimmed())
            return namedSize(item.section(QLatin1Char('('), 1).section(QLatin1Char(')'), 0, 0));
    }
    return std::nullopt;
}

// One side of a scale filter for a stream of the given size: a number, -1 or -n (keep the
// shape, divisible by n), or the stream's own side rounded down to even.
std::optional<int> scaledSide(const QString &expression, int own, int other, int otherTarget)
{
    bool isNumber = false;
    const int value = expression.toInt(&isNumber);
    if (isNumber && value > 0)
        return value;
    if (isNumber && value < 0 && otherTarget > 0 && other > 0) {
        const int step = -value;
        return int(std::lround(double(otherTarget) * own / other / step)) * step;
    }
    if (expression == QLatin1String("iw") || expression == QLatin1String("ih"))
        return own;
    if (expression == QLatin1String("trunc(iw/2)*2") ||
        expression == QLatin1String("trunc(ih/2)*2"))
        return own / 2 * 2;
    return std::nullopt;
}

// The size a lone scale filter makes of the stream; none for any other filter.
std::optional<QSize> scaledSize(const QString &filter, const MediaStream &stream)
{
    if (!filter.startsWith(QLatin1String("scale=")) || filter.contains(QLatin1Char(',')))
        return std::nullopt;
    const QStringList parts = filter.mid(6).split(QLatin1Char(':'));
    if (parts.size() < 2 || parts.at(0).contains(QLatin1Char('=')) ||
        parts.at(1).contains(QLatin1Char('=')))
        return std::nullopt;
    bool fixedWidth = false;
    bool fixedHeight = false;
    parts.at(0).toInt(&fixedWidth);
    parts.at(1).toInt(&fixedHeight);
    const std::optional<int> height = scaledSide(parts.at(1), stream.height, stream.width,
                                                 fixedWidth ? parts.at(0).toInt() : stream.width);
    const std::optional<int> width =
        scaledSide(parts.at(0), stream.width, stream.height, height ? *height : 0);
    if (!width || !height)
        return std::nullopt;
    return QSize(*width, *height);
}

struct PictureFormat
{
    const char *chroma;
    int bitDepth;
};

bool pictureFormatHolds(const QString &format, const MediaStream &stream)
{
    static const QHash<QString, PictureFormat> formats = {
        {QStringLiteral("yuv420p"), {"4:2:0", 8}},
        {QStringLiteral("yuvj420p"), {"4:2:0", 8}},
        {QStringLiteral("nv12"), {"4:2:0", 8}},
        {QStringLiteral("yuv422p"), {"4:2:2", 8}},
        {QStringLiteral("yuv444p"), {"4:4:4", 8}},
        {QStringLiteral("yuv420p10le"), {"4:2:0", 10}},
        {QStringLiteral("yuv422p10le"), {"4:2:2", 10}},
    };
    const auto found = formats.constFind(format);
    return found != formats.constEnd() && stream.chroma == QLatin1String(found->chroma) &&
           stream.bitDepth == found->bitDepth;
}

// H.264 profiles in the order each one's decoders also play the ones before it.
int h264Rank(QString profile)
{
    profile = profile.toLower().remove(QLatin1Char(' '));
    if (profile == QLatin1String("baseline") || profile == QLatin1String("constrainedbaseline"))
        return 0;
    if (profile == QLatin1String("main"))
        return 1;
    return profile == QLatin1String("high") ? 2 : 3;
}

bool profileHolds(const QString &asked, const MediaStream &stream)
{
    if (stream.profile.isEmpty())
        return false;
    if (stream.codec == QLatin1String("h264"))
        return h264Rank(stream.profile) <= h264Rank(asked);
    return stream.profile.compare(asked, Qt::CaseInsensitive) == 0;
}

QString number(double value)
{
    return QString::number(value, 'g', 6);
}

// Why one option's setting does not hold for the stream; empty when it does.
QString optionMismatch(const Option &option, const MediaStream &stream)
{
    const QString &name = option.name;
    const QString &value = option.value;
    if (name == QLatin1String("b") || name == QLatin1String("maxrate")) {
        const std::optional<double> limit = bitsPerSecond(value);
        if (!limit || *limit <= 0)
            return QString();
        if (stream.bitRate <= 0)
            return QStringLiteral("its bitrate is not known");
        return stream.bitRate > *limit ? QStringLiteral("its bitrate %1 kb/s is above %2 kb/s")
                                             .arg(stream.bitRate / 1000)
                                             .arg(qint64(*limit / 1000))
                                       : QString();
    }
    const QString own = QStringLiteral("%1x%2").arg(stream.width).arg(stream.height);
    if (name == QLatin1String("s") ||
        (name == QLatin1String("filter") && stream.kind == Kind::Video)) {
        const std::optional<QSize> size =
            name == QLatin1String("s") ? namedSize(value) : scaledSize(value, stream);
        if (!size)
            return QStringLiteral("the format filters the picture (%1)").arg(value);
        return *size == QSize(stream.width, stream.height)
                   ? QString()
                   : QStringLiteral("its size %1 is not %2x%3")
                         .arg(own)
                         .arg(size->width())
                         .arg(size->height());
    }
    if (name == QLatin1String("filter"))
        return QStringLiteral("the format filters the sound (%1)").arg(value);
    if (name == QLatin1String("r"))
        return stream.frameRate > 0 && std::abs(stream.frameRate - value.toDouble()) < 0.01
                   ? QString()
                   : QStringLiteral("its frame rate %1 is not %2")
                         .arg(stream.frameRate > 0 ? number(stream.frameRate)
                                                   : QStringLiteral("variable or unknown"),
                              value);
    if (name == QLatin1String("aspect")) {
        const QStringList ratio = value.split(QLatin1Char(':'));
        const double asked =
            ratio.size() == 2 ? ratio.at(0).toDouble() / ratio.at(1).toDouble() : value.toDouble();
        return std::abs(stream.displayAspect - asked) < 0.01
                   ? QString()
                   : QStringLiteral("its aspect %1 is not %2")
                         .arg(number(stream.displayAspect), value);
    }
    if (name == QLatin1String("pix_fmt"))
        return pictureFormatHolds(value, stream)
                   ? QString()
                   : QStringLiteral("its picture format is not %1").arg(value);
    if (name == QLatin1String("profile"))
        return profileHolds(value, stream)
                   ? QString()
                   : QStringLiteral("its profile %1 is not %2")
                         .arg(stream.profile.isEmpty() ? QStringLiteral("unknown") : stream.profile,
                              value);
    if (name == QLatin1String("ar"))
        return stream.sampleRate == value.toInt()
                   ? QString()
                   : QStringLiteral("its sample rate %1 Hz is not %2")
                         .arg(stream.sampleRate)
                         .arg(value);
    if (name == QLatin1String("ac"))
        return stream.channels == value.toInt()
                   ? QString()
                   : QStringLiteral("it has %1 channels, not %2").arg(stream.channels).arg(value);
    if (changesNothingCopied(name))
        return QString();
    return QStringLiteral("the format sets -%1").arg(name);
}
} // namespace

QString StreamFit::mismatch(const MediaStream &stream, const FormatOptions &options)
{
    const QString encoder = options.codec(stream.kind);
    const QString asked = CodecNames::written(encoder);
    if (asked.isEmpty())
        return encoder.isEmpty() ? QStringLiteral("the format leaves the codec to the container")
                                 : QStringLiteral("%1 is not a codec it knows").arg(encoder);
    if (stream.codec != asked)
        return QStringLiteral("it is %1, not %2")
            .arg(CodecNames::shown(stream.codec.isEmpty() ? stream.format : stream.codec),
                 CodecNames::shown(asked));
    for (const Option &option : options.options()) {
        if (option.name.isEmpty() || (option.kind && *option.kind != stream.kind))
            continue;
        const QString why = optionMismatch(option, stream);
        if (!why.isEmpty())
            return why;
    }
    return QString();
}
