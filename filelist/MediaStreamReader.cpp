#include "filelist/MediaStreamReader.h"

#include "filelist/MediaLibrary.h"

#include <QHash>

#include <algorithm>

namespace {
using Kind = MediaLibrary::Kind;

// The media library's format names and the encoder's codec names for them; where one name
// covers several codecs, the version or layer decides.
QString codecName(const QString &format, const QString &version, const QString &profile,
                  const QString &endianness, int bitDepth)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("AVC"), QStringLiteral("h264")},
        {QStringLiteral("HEVC"), QStringLiteral("hevc")},
        {QStringLiteral("AV1"), QStringLiteral("av1")},
        {QStringLiteral("VP8"), QStringLiteral("vp8")},
        {QStringLiteral("VP9"), QStringLiteral("vp9")},
        {QStringLiteral("MPEG-4 Visual"), QStringLiteral("mpeg4")},
        {QStringLiteral("Theora"), QStringLiteral("theora")},
        {QStringLiteral("ProRes"), QStringLiteral("prores")},
        {QStringLiteral("FFV1"), QStringLiteral("ffv1")},
        {QStringLiteral("JPEG"), QStringLiteral("mjpeg")},
        {QStringLiteral("H.263"), QStringLiteral("h263")},
        {QStringLiteral("DV"), QStringLiteral("dvvideo")},
        {QStringLiteral("VC-1"), QStringLiteral("vc1")},
        {QStringLiteral("WMV2"), QStringLiteral("wmv2")},
        {QStringLiteral("AAC"), QStringLiteral("aac")},
        {QStringLiteral("AC-3"), QStringLiteral("ac3")},
        {QStringLiteral("E-AC-3"), QStringLiteral("eac3")},
        {QStringLiteral("DTS"), QStringLiteral("dts")},
        {QStringLiteral("FLAC"), QStringLiteral("flac")},
        {QStringLiteral("Opus"), QStringLiteral("opus")},
        {QStringLiteral("Vorbis"), QStringLiteral("vorbis")},
        {QStringLiteral("ALAC"), QStringLiteral("alac")},
        {QStringLiteral("MLP FBA"), QStringLiteral("truehd")},
        {QStringLiteral("UTF-8"), QStringLiteral("subrip")},
        {QStringLiteral("ASS"), QStringLiteral("ass")},
        {QStringLiteral("SSA"), QStringLiteral("ssa")},
        {QStringLiteral("Timed Text"), QStringLiteral("mov_text")},
        {QStringLiteral("WebVTT"), QStringLiteral("webvtt")},
        {QStringLiteral("PGS"), QStringLiteral("hdmv_pgs_subtitle")},
        {QStringLiteral("VobSub"), QStringLiteral("dvd_subtitle")},
        {QStringLiteral("DVB Subtitle"), QStringLiteral("dvb_subtitle")},
    };
    if (format == QLatin1String("MPEG Video"))
        return version.endsWith(QLatin1Char('1')) ? QStringLiteral("mpeg1video")
                                                  : QStringLiteral("mpeg2video");
    if (format == QLatin1String("MPEG Audio")) {
        if (profile.endsWith(QLatin1Char('3')))
            return QStringLiteral("mp3");
        return profile.endsWith(QLatin1Char('2')) ? QStringLiteral("mp2") : QString();
    }
    if (format == QLatin1String("PCM")) {
        if (bitDepth == 8)
            return QStringLiteral("pcm_u8");
        if (bitDepth != 16 && bitDepth != 24 && bitDepth != 32)
            return QString();
        const QString end =
            endianness == QLatin1String("Big") ? QStringLiteral("be") : QStringLiteral("le");
        const QString kind =
            profile == QLatin1String("Float") ? QStringLiteral("f") : QStringLiteral("s");
        return QStringLiteral("pcm_%1%2%3").arg(kind).arg(bitDepth).arg(end);
    }
    if (format.startsWith(QLatin1String("WebVTT")) || format.contains(QLatin1String("WEBVTT")))
        return QStringLiteral("webvtt");
    return names.value(format);
}

class Fields
{
public:
    Fields(const MediaLibrary &info, Kind kind, size_t number)
        : m_info(info), m_kind(kind), m_number(number)
    {
    }
    QString text(const wchar_t *name) const
    {
        return m_info.text(m_kind, m_number, name).trimmed();
    }
    // Some containers give several values ("48000 / 44100"); the first is the stream's own.
    double number(const wchar_t *name) const
    {
        return text(name).section(QLatin1Char(' '), 0, 0).toDouble();
    }

private:
    const MediaLibrary &m_info;
    Kind m_kind;
    size_t m_number;
};

// Captions carried inside a picture stream are no stream of their own for the encoder.
bool embeddedCaptions(const QString &format)
{
    return format.startsWith(QLatin1String("EIA-"));
}

// The container's own stream order; the library's order where it tells none.
double streamOrder(const Fields &fields, size_t fallback)
{
    const QString order = fields.text(L"StreamOrder");
    bool ok = false;
    const double value = order.section(QLatin1Char('-'), -1).toDouble(&ok);
    return ok ? value : double(fallback);
}
} // namespace

MediaStreams MediaStreamReader::read(const MediaLibrary &info)
{
    MediaStreams streams;
    const std::pair<Kind, MediaStream::Kind> kinds[] = {
        {Kind::Video, MediaStream::Kind::Video},
        {Kind::Audio, MediaStream::Kind::Audio},
        {Kind::Text, MediaStream::Kind::Subtitle},
    };
    for (const auto &[libraryKind, kind] : kinds) {
        std::vector<std::pair<double, MediaStream>> ofKind;
        const size_t count = info.count(libraryKind);
        for (size_t number = 0; number < count; ++number) {
            const Fields fields(info, libraryKind, number);
            MediaStream stream;
            stream.kind = kind;
            stream.format = fields.text(L"Format");
            if (embeddedCaptions(stream.format))
                continue;
            stream.bitDepth = int(fields.number(L"BitDepth"));
            const QString profile = fields.text(L"Format_Profile");
            stream.codec = codecName(stream.format, fields.text(L"Format_Version"), profile,
                                     fields.text(L"Format_Settings_Endianness"), stream.bitDepth);
            stream.profile = profile.section(QLatin1Char('@'), 0, 0);
            stream.language = fields.text(L"Language");
            stream.width = int(fields.number(L"Width"));
            stream.height = int(fields.number(L"Height"));
            if (fields.text(L"FrameRate_Mode") != QLatin1String("VFR"))
                stream.frameRate = fields.number(L"FrameRate");
            stream.displayAspect = fields.number(L"DisplayAspectRatio");
            stream.chroma = fields.text(L"ChromaSubsampling");
            stream.sampleRate = int(fields.number(L"SamplingRate"));
            stream.channels = int(fields.number(L"Channels"));
            stream.bitRate = qint64(fields.number(L"BitRate"));
            ofKind.emplace_back(streamOrder(fields, number), stream);
        }
        std::stable_sort(ofKind.begin(), ofKind.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        for (auto &entry : ofKind) {
            entry.second.position = int(&entry - ofKind.data());
            streams << entry.second;
        }
    }
    return streams;
}
