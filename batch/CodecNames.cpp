#include "batch/CodecNames.h"

#include <QHash>
#include <QSet>

QString CodecNames::written(const QString &encoder)
{
    static const QHash<QString, QString> writers = {
        {QStringLiteral("libx264"), QStringLiteral("h264")},
        {QStringLiteral("libx264rgb"), QStringLiteral("h264")},
        {QStringLiteral("libx265"), QStringLiteral("hevc")},
        {QStringLiteral("libvpx-vp9"), QStringLiteral("vp9")},
        {QStringLiteral("libvpx"), QStringLiteral("vp8")},
        {QStringLiteral("libaom-av1"), QStringLiteral("av1")},
        {QStringLiteral("libsvtav1"), QStringLiteral("av1")},
        {QStringLiteral("librav1e"), QStringLiteral("av1")},
        {QStringLiteral("libxvid"), QStringLiteral("mpeg4")},
        {QStringLiteral("libtheora"), QStringLiteral("theora")},
        {QStringLiteral("prores_ks"), QStringLiteral("prores")},
        {QStringLiteral("prores_aw"), QStringLiteral("prores")},
        {QStringLiteral("libmp3lame"), QStringLiteral("mp3")},
        {QStringLiteral("libshine"), QStringLiteral("mp3")},
        {QStringLiteral("libtwolame"), QStringLiteral("mp2")},
        {QStringLiteral("libopus"), QStringLiteral("opus")},
        {QStringLiteral("libvorbis"), QStringLiteral("vorbis")},
        {QStringLiteral("libfdk_aac"), QStringLiteral("aac")},
        {QStringLiteral("srt"), QStringLiteral("subrip")},
    };
    // Encoders named after what they write.
    static const QSet<QString> sameName = {
        QStringLiteral("mpeg4"),    QStringLiteral("mpeg2video"), QStringLiteral("mpeg1video"),
        QStringLiteral("mjpeg"),    QStringLiteral("ffv1"),       QStringLiteral("h263"),
        QStringLiteral("wmv2"),     QStringLiteral("dvvideo"),    QStringLiteral("prores"),
        QStringLiteral("aac"),      QStringLiteral("ac3"),        QStringLiteral("eac3"),
        QStringLiteral("mp2"),      QStringLiteral("flac"),       QStringLiteral("alac"),
        QStringLiteral("opus"),     QStringLiteral("vorbis"),     QStringLiteral("wmav2"),
        QStringLiteral("subrip"),   QStringLiteral("ass"),        QStringLiteral("ssa"),
        QStringLiteral("mov_text"), QStringLiteral("webvtt"),     QStringLiteral("dvd_subtitle"),
    };
    if (sameName.contains(encoder) || encoder.startsWith(QLatin1String("pcm_")))
        return encoder;
    return writers.value(encoder);
}

QString CodecNames::shown(const QString &codecOrEncoder)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("h264"), QStringLiteral("H.264")},
        {QStringLiteral("hevc"), QStringLiteral("H.265")},
        {QStringLiteral("av1"), QStringLiteral("AV1")},
        {QStringLiteral("vp8"), QStringLiteral("VP8")},
        {QStringLiteral("vp9"), QStringLiteral("VP9")},
        {QStringLiteral("mpeg4"), QStringLiteral("MPEG-4")},
        {QStringLiteral("mpeg2video"), QStringLiteral("MPEG-2")},
        {QStringLiteral("mpeg1video"), QStringLiteral("MPEG-1")},
        {QStringLiteral("theora"), QStringLiteral("Theora")},
        {QStringLiteral("prores"), QStringLiteral("ProRes")},
        {QStringLiteral("aac"), QStringLiteral("AAC")},
        {QStringLiteral("mp3"), QStringLiteral("MP3")},
        {QStringLiteral("mp2"), QStringLiteral("MP2")},
        {QStringLiteral("ac3"), QStringLiteral("AC-3")},
        {QStringLiteral("eac3"), QStringLiteral("E-AC-3")},
        {QStringLiteral("dts"), QStringLiteral("DTS")},
        {QStringLiteral("opus"), QStringLiteral("Opus")},
        {QStringLiteral("vorbis"), QStringLiteral("Vorbis")},
        {QStringLiteral("flac"), QStringLiteral("FLAC")},
        {QStringLiteral("alac"), QStringLiteral("ALAC")},
        {QStringLiteral("truehd"), QStringLiteral("TrueHD")},
        {QStringLiteral("subrip"), QStringLiteral("SubRip")},
        {QStringLiteral("ass"), QStringLiteral("ASS")},
        {QStringLiteral("mov_text"), QStringLiteral("MP4 text")},
        {QStringLiteral("webvtt"), QStringLiteral("WebVTT")},
        {QStringLiteral("hdmv_pgs_subtitle"), QStringLiteral("PGS")},
        {QStringLiteral("dvd_subtitle"), QStringLiteral("DVD subtitles")},
    };
    const QString codec = written(codecOrEncoder);
    const QString key = codec.isEmpty() ? codecOrEncoder : codec;
    if (key.startsWith(QLatin1String("pcm_")))
        return QStringLiteral("PCM");
    return names.value(key, codecOrEncoder);
}

bool CodecNames::isTextSubtitle(const QString &codec)
{
    static const QSet<QString> text = {QStringLiteral("subrip"), QStringLiteral("ass"),
                                       QStringLiteral("ssa"),    QStringLiteral("mov_text"),
                                       QStringLiteral("webvtt"), QStringLiteral("text")};
    return text.contains(codec);
}
