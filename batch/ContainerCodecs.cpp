#include "batch/ContainerCodecs.h"

#include "batch/CodecNames.h"

#include <QStringList>

using Setting = ContainerCodecs::Setting;

struct ContainerCodecs::Table
{
    QStringList extensions;
    QString name;
    bool soundOnly;
    QSet<QString> video; // "*": any codec
    QSet<QString> audio;
    QSet<QString> subtitles;
    QVector<Setting> videoConversion;
    QVector<Setting> audioConversion;
    QString textSubtitles; // the encoder for text subtitles it cannot hold; empty: left out
};

namespace {
const QSet<QString> kAny = {QStringLiteral("*")};

const QVector<Setting> kH264 = {{"c", "libx264"},
                                {"preset", "veryfast"},
                                {"crf", "23"},
                                {"filter", "scale=trunc(iw/2)*2:trunc(ih/2)*2"},
                                {"pix_fmt", "yuv420p"}};
const QVector<Setting> kVp9 = {{"c", "libvpx-vp9"},   {"deadline", "realtime"},
                               {"cpu-used", "8"},     {"row-mt", "1"},
                               {"crf", "33"},         {"b", "0"},
                               {"pix_fmt", "yuv420p"}};
const QVector<Setting> kAac = {{"c", "aac"}, {"b", "160k"}};
const QVector<Setting> kOpus = {{"c", "libopus"}, {"b", "128k"}};

const QSet<QString> kMp4Sound = {"aac", "mp3", "ac3", "eac3", "alac", "opus", "mp2", "dts"};
const QSet<QString> kPcm = {"pcm_s16le", "pcm_s16be", "pcm_s24le", "pcm_s24be", "pcm_s32le",
                            "pcm_s32be", "pcm_f32le", "pcm_f32be", "pcm_u8"};
const QSet<QString> kMatroskaSubtitles = {
    "subrip", "ass", "ssa", "webvtt", "hdmv_pgs_subtitle", "dvd_subtitle", "dvb_subtitle"};

const ContainerCodecs::Table kTables[] = {
    {{"mp4", "m4v"},
     "MP4",
     false,
     {"h264", "hevc", "av1", "vp9", "mpeg4", "mpeg2video", "mpeg1video", "mjpeg"},
     kMp4Sound,
     {"mov_text"},
     kH264,
     kAac,
     "mov_text"},
    {{"mov"},
     "MOV",
     false,
     {"h264", "hevc", "mpeg4", "mpeg2video", "mpeg1video", "mjpeg", "prores", "dvvideo", "h263"},
     QSet<QString>{"aac", "mp3", "ac3", "eac3", "alac", "mp2"} | kPcm,
     {"mov_text"},
     kH264,
     kAac,
     "mov_text"},
    {{"mkv"}, "MKV", false, kAny, kAny, kMatroskaSubtitles, kH264, kAac, "srt"},
    {{"mka"}, "MKA", true, {}, kAny, kMatroskaSubtitles, {}, kAac, "srt"},
    {{"webm"},
     "WebM",
     false,
     {"vp8", "vp9", "av1"},
     {"opus", "vorbis"},
     {"webvtt"},
     kVp9,
     kOpus,
     "webvtt"},
    {{"m4a"}, "M4A", true, {}, {"aac", "alac"}, {}, {}, kAac, ""},
    {{"mp3"}, "MP3", true, {}, {"mp3"}, {}, {}, {{"c", "libmp3lame"}, {"b", "192k"}}, ""},
    {{"flac"}, "FLAC", true, {}, {"flac"}, {}, {}, {{"c", "flac"}}, ""},
    {{"opus"}, "Opus", true, {}, {"opus"}, {}, {}, kOpus, ""},
    {{"ogg", "oga"},
     "Ogg",
     true,
     {},
     {"vorbis", "opus", "flac"},
     {},
     {},
     {{"c", "libvorbis"}, {"b", "160k"}},
     ""},
};
} // namespace

ContainerCodecs ContainerCodecs::forExtension(const QString &extension)
{
    ContainerCodecs codecs;
    codecs.m_name = extension.toUpper();
    for (const Table &table : kTables) {
        if (table.extensions.contains(extension.toLower())) {
            codecs.m_known = true;
            codecs.m_soundOnly = table.soundOnly;
            codecs.m_name = table.name;
            codecs.m_table = &table;
        }
    }
    return codecs;
}

QString ContainerCodecs::soundContainer(const MediaStreams &streams)
{
    QStringList codecs;
    for (const MediaStream &stream : streams) {
        if (stream.kind == Kind::Audio)
            codecs << stream.codec;
    }
    if (!codecs.isEmpty() && std::all_of(codecs.begin(), codecs.end(), [](const QString &codec) {
            return codec == QLatin1String("aac") || codec == QLatin1String("alac");
        }))
        return QStringLiteral("m4a");
    if (codecs.size() == 1 &&
        (codecs.first() == QLatin1String("mp3") || codecs.first() == QLatin1String("flac") ||
         codecs.first() == QLatin1String("opus")))
        return codecs.first();
    return QStringLiteral("mka");
}

bool ContainerCodecs::holds(Kind kind, const QString &codec) const
{
    if (!m_known)
        return true;
    const QSet<QString> &held = kind == Kind::Video   ? m_table->video
                                : kind == Kind::Audio ? m_table->audio
                                                      : m_table->subtitles;
    return held.contains(codec) || (held.contains(QStringLiteral("*")) && !codec.isEmpty());
}

QVector<Setting> ContainerCodecs::conversion(Kind kind, const QString &codec) const
{
    if (!m_known)
        return {};
    switch (kind) {
    case Kind::Video:
        return m_table->videoConversion;
    case Kind::Audio:
        return m_table->audioConversion;
    case Kind::Subtitle:
        if (m_table->textSubtitles.isEmpty() || !CodecNames::isTextSubtitle(codec))
            return {};
        return {{QStringLiteral("c"), m_table->textSubtitles}};
    }
    return {};
}
