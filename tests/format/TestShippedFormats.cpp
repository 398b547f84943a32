#include "CodecsFile.h"
#include "CustomLists.h"
#include "CustomOptions.h"
#include "PresetsFile.h"
#include "TestMedia.h"

#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

namespace {

// The custom formats that try every codec of codecs.xml: video and audio codec names and
// a container they fit, then, where the defaults do not fit, the sampling rate in KHz, the
// channels and the size item.
const QStringList kCustomCases =
    QString("copy copy AVI, mpeg4 libmp3lame AVI, libx264 aac MP4, libx265 eac3 MP4 48, "
            "libvpx-vp9 libopus MP4 48, libvpx libvorbis AVI, libaom-av1 aac MP4, "
            "libsvtav1 aac MP4, libxvid pcm_mulaw AVI 8 1, mpeg2video mp2 MPEG, "
            "mpeg1video ac3 MPG 48, wmv2 wmav2 WMV, wmv1 wmav1 ASF, msmpeg4 wmav2 ASF, "
            "msmpeg4v2 pcm_alaw AVI 8 1, flv adpcm_swf FLV, h263 aac MOV 22.05 2 qcif(176x144), "
            "h263p alac MOV, libtheora adpcm_ms AVI, mjpeg adpcm_ima_wav AVI, "
            "prores_ks pcm_s16le MOV, ffv1 libmp3lame AVI, huffyuv pcm_s16le AVI, "
            "utvideo pcm_s16le AVI, png aac MOV, qtrle aac MOV, svq1 aac MOV, rv20 ac3 RM 48, "
            "rv10 real_144 RM 8 1 qcif(176x144), rawvideo pcm_s16le yuv, "
            "flv nellymoser FLV 22.05 1, libx264 libspeex FLV 16 1")
        .split(", ");

using Run = std::pair<QString, QStringList>; // a label and the encoder's arguments

// Runs the encoder with each argument list, two at a time; returns the labels of those
// that failed (the encoder's own words go to the test's output).
QStringList runAll(const QList<Run> &runs)
{
    std::atomic<qsizetype> next = 0;
    QStringList failures[2];
    const auto work = [&](QStringList *failed) {
        for (qsizetype i = next++; i < runs.size(); i = next++) {
            const QStringList arguments =
                QStringList{"-nostdin", "-v", "error"} + runs.at(i).second;
            if (QProcess::execute(TestMedia::encoder(), arguments) != 0)
                *failed << runs.at(i).first;
        }
    };
    std::thread other(work, &failures[1]);
    work(&failures[0]);
    other.join();
    return failures[0] + failures[1];
}

} // namespace

class TestShippedFormats : public QObject
{
    Q_OBJECT
private slots:
    void everyFormatConverts();
};

// Converts a one-second clip as the program does with every shipped preset, every codec in
// the custom format and the first-start choices, then decodes all outputs in one run that
// stops at the first error.
void TestShippedFormats::everyFormatConverts()
{
    QTemporaryDir dir;
    const QString clip = dir.filePath("clip.avi");
    const QString silent = dir.filePath("silent.avi");
    // A small picture keeps the slowest encoders quick.
    QVERIFY(TestMedia::makeClip(clip, 1.0, true, "64x64") &&
            TestMedia::makeClip(silent, 1.0, false, "64x64"));
    const PresetsFile::Result presets = PresetsFile::load(PresetsFile::defaultPath());
    const CodecsFile::Result codecs = CodecsFile::load(CodecsFile::defaultPath());
    QVERIFY2(presets.ok() && codecs.ok(), qPrintable(presets.error + codecs.error));
    QVERIFY(presets.table.count() > 1);

    QList<Run> encodes;
    QStringList decode = {"-xerror"};
    QStringList maps;
    const auto add = [&](const QString &label, const QString &input, const QString &options,
                         const QString &extension, const QStringList &readAs = {}) {
        const QString output = dir.filePath(QString::number(encodes.size()) + "." + extension);
        maps << "-map" << QString::number(encodes.size());
        encodes.append({label, QStringList{"-i", input} + QProcess::splitCommand(options) +
                                   QStringList{"-y", output}});
        decode += readAs + QStringList{"-i", output};
    };
    for (const PresetRecord &preset : presets.table.records())
        add(preset.category + " / " + preset.label, clip, preset.params, preset.extension);

    QHash<QString, QString> descriptions;
    for (const CodecRecord &codec : codecs.table.records())
        descriptions.insert(codec.name.trimmed(), codec.description);
    QStringList untried = descriptions.keys();
    for (const QString &line : kCustomCases) {
        const QStringList c = line.split(' ');
        QVERIFY2(descriptions.contains(c[0]) && descriptions.contains(c[1]), qPrintable(line));
        const CustomOptions::Result options =
            CustomOptions::build({c.value(3, "22.05") + " KHz", "64", descriptions[c[1]],
                                  c.value(4, "2"), descriptions[c[0]], "320",
                                  c.value(5, CustomLists::asInput()), CustomLists::asInput(), "25"},
                                 codecs.table);
        QVERIFY2(options.ok(), qPrintable(options.error));
        const bool raw = c[2] == "yuv"; // raw video takes one stream only
        add(line, raw ? silent : clip, options.options, c[2],
            raw ? QStringList{"-f", "rawvideo", "-pixel_format", "yuv420p", "-video_size", "64x64"}
                : QStringList());
        untried.removeAll(c[0]);
        untried.removeAll(c[1]);
    }
    QVERIFY2(untried.isEmpty(), qPrintable("not tried: " + untried.join(' ')));

    // On first start the settings pick item 1 of each presets list (naming a preset converted
    // above) and the third container, fifth sampling rate and item 1 of each codec list.
    const QString category = presets.categories.value(1);
    const QString label = presets.table.labels(category).value(1);
    const QString extension = presets.table.extensions(category, label).value(1);
    QVERIFY(!presets.table.params(category, label, extension).isEmpty());
    const CustomOptions::Result defaults = CustomOptions::build(
        {CustomLists::sampleRates().at(4), "64", codecs.audioItems.value(1), "2",
         codecs.videoItems.value(1), "320", CustomLists::asInput(), CustomLists::asInput(), "25"},
        codecs.table);
    QVERIFY(defaults.ok());
    add("first-start custom", clip, defaults.options, CustomLists::containers().at(2));

    QStringList failures = runAll(encodes);
    if (failures.isEmpty())
        failures =
            runAll({{"reading the outputs back", decode + maps + QStringList{"-f", "null", "-"}}});
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
}

QTEST_GUILESS_MAIN(TestShippedFormats)
#include "TestShippedFormats.moc"
