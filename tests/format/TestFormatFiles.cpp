#include "batch/OutputCheck.h"
#include "batch/StreamPlan.h"
#include "filelist/MediaProbe.h"
#include "format/CodecsFile.h"
#include "format/CustomLists.h"
#include "format/CustomOptions.h"
#include "format/PresetsFile.h"
#include "format/UserPresets.h"
#include "tests/format/DataFileText.h"
#include "tests/testsupport/BuiltProgram.h"
#include "tests/testsupport/FolderFiles.h"
#include "tests/testsupport/TestMedia.h"

#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtConcurrent>

using namespace DataFileText;

namespace {
// The custom formats that try every codec of codecs.xml: video and audio codec names and
// a container they fit, then, where the defaults do not fit, the sampling rate in KHz, the
// channels and the size item. The second is the first start's custom choice.
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

// One conversion: its label, the encoder's arguments (the output last), how to read the output
// back, and for a picture the display aspect of its source (0 when it has none).
struct Conversion
{
    QString label;
    QStringList arguments, readAs;
    double aspect = 0;
};

// Converts, checks the output as a batch does, then reads it through to its end, measuring a
// picture inside any black bars; returns what went wrong, or nothing.
QString convert(const Conversion &c)
{
    const BuiltProgram::Ran encoded = BuiltProgram::runProgram(TestMedia::encoder(), c.arguments);
    if (encoded.status != 0)
        return c.label + " does not convert";
    const OutputCheck::Verdict verdict =
        OutputCheck::check(c.arguments.last(), OutputCheck::fromLog(encoded.out + encoded.err));
    if (!verdict.problem.isEmpty())
        return c.label + " fails the output check: " + verdict.problem;
    // Square pixels first, so that the crop's shape is the shape shown.
    const QStringList measure = {"-vf",
                                 "scale=iw*sar:ih,cropdetect=limit=0.3:round=2:reset=0:skip=0"};
    const BuiltProgram::Ran read = BuiltProgram::runProgram(
        TestMedia::encoder(),
        QStringList{"-nostdin", "-xerror"} + c.readAs + QStringList{"-i", c.arguments.last()} +
            (c.aspect > 0 ? measure : QStringList()) + QStringList{"-f", "null", "-"});
    if (read.status != 0) // a crash gives -1
        return c.label + " cannot be read back";
    if (c.aspect == 0)
        return {};
    const QString log = read.err;
    QRegularExpressionMatch crop; // the last report
    if (log.lastIndexOf(QRegularExpression("crop=(\\d+):(\\d+)"), -1, &crop) < 0)
        return c.label + " shows no picture";
    const double shown = crop.captured(1).toDouble() / crop.captured(2).toDouble();
    // Pictures may be off by the rounding to even sizes.
    if (qAbs(shown / c.aspect - 1) <= 0.03)
        return {};
    return QString("%1 shows %2 instead of %3").arg(c.label).arg(shown).arg(c.aspect);
}

// The records in use as "label|params|extension|category".
QStringList recordTexts(const PresetTable &table)
{
    QStringList texts;
    for (const PresetRecord &r : table.records().mid(0, table.count()))
        texts << QStringList{r.label, r.params, r.extension, r.category}.join('|');
    return texts;
}
} // namespace

// The data files: what the readers make of every shape of text, and every shipped format
// converted by the real encoder.
class TestFormatFiles : public QObject
{
    Q_OBJECT
private slots:
    void reads_data()
    {
        QTest::addColumn<QString>("content");
        // Presets: the records in use as "label|params|extension|category" (after a failure, those
        // read before it) and the categories.
        // Codecs: the video and the audio codec list.
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<QString>("error"); // the start of the failure, empty on success
        const auto row = [](const char *name, const QString &content, const QStringList &first,
                            const QStringList &second, const char *error = "") {
            QTest::newRow(name) << content << first << second << QString(error);
        };
        const QStringList oneEmpty{"|||"}, emptyCategory{""}, none;
        const QStringList a = presetEntry("A", "-a", "mp4", "First");

        // Reading that began leaves one record with four empty fields.
        row("header and root lines", document("presets", {}), oneEmpty, emptyCategory);
        row("bare LF: one line holding </", document("presets", {a}).replace("\r\n", "\n"),
            oneEmpty, emptyCategory);
        // An indented root line starts an entry, and the lines after it are its fields.
        row("indented root lines", document("presets", {a}, "  "), {"A|-a||"}, emptyCategory);
        row("categories in file order, values untouched",
            document("presets", {presetEntry(" V&amp;1 ", "-v", "mp4", "Video"),
                                 presetEntry("L2", "-b", "mp3", "Audio"),
                                 presetEntry("L3", "-c", "wav", "audio")}),
            {" V&amp;1 |-v|mp4|Video", "L2|-b|mp3|Audio", "L3|-c|wav|audio"},
            {"Video", "Audio", "audio"});

        QStringList free = presetEntry("First", "-first", "avi", "");
        free[4] = "<note>no category here</note>";
        QStringList next = presetEntry("Second", "", "mp4", "Video");
        next[2] = "<comment>params left out</comment>";
        row("entry without category is overwritten", document("presets", {free, next}),
            {"Second|-first|mp4|Video"}, {"Video"});

        QStringList unclosed = presetEntry("B", "-b", "mkv", "Second");
        unclosed[2] = "<params>-b";
        row("params without closing tag", (QStringList{"<presets>"} + a + unclosed).join("\r\n"),
            {"A|-a|mp4|First"}, none, "Line 10");

        row("32769 lines", QStringList(32769).join("\r\n"), none, none, "The file has 32769 lines");
        // "<label>" takes columns 1 to 7, so the closing tag starts at column 32768.
        row("closing tag at column 32768",
            document("presets", {presetEntry(QString(32760, 'x'), "-p", "mp4", "C")}), none, none,
            "Line 4");

        row("codecs: types decide the lists",
            document("codecs", {codecEntry("copy", "Stream copy", "general"),
                                codecEntry("mpeg4", "MPEG-4", "video codec"),
                                codecEntry("libmp3lame", "MP3", "audio codec"),
                                codecEntry("x", "Wrong case", "Video Codec"),
                                codecEntry("y", "Trailing blank", "video codec "),
                                codecEntry("mpeg4", "MPEG-4", "video codec")}),
            {"Stream copy", "MPEG-4", "MPEG-4"}, {"Stream copy", "MP3"});
        // The video list is filled and selected before the empty audio list stops loading.
        row("codecs: no audio codec",
            document("codecs", {codecEntry("mpeg4", "MPEG-4", "video codec")}), {"MPEG-4"}, none,
            "The file lists no audio codec");
        row("codecs: header and root lines only", document("codecs", {}), none, none,
            "The file lists no video codec");
    }

    void reads()
    {
        QFETCH(QString, content);
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(QString, error);
        if (QByteArray(QTest::currentDataTag()).startsWith("codecs")) {
            const CodecsFile::Result result = CodecsFile::read(content);
            QVERIFY2(
                result.ok() == error.isEmpty() &&
                    result.message().startsWith("Error Occured while Loading Codecs.\r\n" + error),
                qPrintable(result.error));
            QCOMPARE(result.videoItems, first);
            QCOMPARE(result.audioItems, second);
            // The first item of each list is selected in turn until a list turns out empty.
            QCOMPARE(result.videoSelected, !first.isEmpty());
            QCOMPARE(result.audioSelected, !first.isEmpty() && !second.isEmpty());
            return;
        }
        const PresetsFile::Result result = PresetsFile::read(content);
        QVERIFY2(
            result.ok() == error.isEmpty() &&
                result.message().startsWith("Error Occured while Loading Presets.\r\n" + error),
            qPrintable(result.error));
        QCOMPARE(recordTexts(result.table), first);
        QCOMPARE(result.categories, second);
    }

    void userPresetsFollowTheShipped_data()
    {
        QTest::addColumn<QString>(
            "user"); // the file's text; "MISSING": no file; "SHIPPED": that one
        QTest::addColumn<bool>("required");
        QTest::addColumn<QStringList>("presets");
        QTest::addColumn<QString>("told"); // a part of the message; empty: nothing is told
        const QStringList shipped = {"a|-a|mp4|One", "b|-b|mkv|Two"};
        const QString user = document("presets", {presetEntry("u", "-u", "avi", "New"),
                                                  presetEntry("a", "-x", "avi", "One")});
        QTest::newRow("after the shipped, by category")
            << user << false
            << QStringList{"a|-a|mp4|One", "a|-x|avi|One", "b|-b|mkv|Two", "u|-u|avi|New"}
            << QString();
        QTest::newRow("missing, named") << "MISSING" << true << shipped << "Cannot open";
        QTest::newRow("the shipped file itself") << "SHIPPED" << false << shipped << QString();
        QTest::newRow("LF line ends")
            << QString(user).replace("\r\n", "\n") << false << shipped << "LF alone";
        QTest::newRow("cut short") << user.left(60) << false << shipped << "Line 3 starts an entry";
    }

    // The user's presets come after the shipped ones, their categories after the shipped ones and
    // their entries after the shipped ones of a category both hold; a damaged file adds nothing,
    // and the message names it.
    void userPresetsFollowTheShipped()
    {
        QFETCH(QString, user);
        QFETCH(bool, required);
        QFETCH(QStringList, presets);
        QFETCH(QString, told);
        QTemporaryDir dir;
        const QString shipped =
            writeFile(dir.path(), "shipped.xml",
                      document("presets", {presetEntry("a", "-a", "mp4", "One"),
                                           presetEntry("b", "-b", "mkv", "Two")}));
        const QString path = user == "SHIPPED" ? shipped : dir.filePath("user.xml");
        if (user != "SHIPPED" && user != "MISSING")
            writeFile(dir.path(), "user.xml", user);
        PresetsFile::Result result = PresetsFile::load(shipped);
        const QString message = UserPresets::addTo(result, shipped, path, required);
        QVERIFY2(told.isEmpty() ? message.isEmpty()
                                : message.contains(path) && message.contains(told),
                 qPrintable(message));
        QCOMPARE(recordTexts(result.table), presets);
        QCOMPARE(result.categories, result.table.categories());
    }

    void savesKeepTheFileOrRefuse_data()
    {
        QTest::addColumn<QString>("before"); // the file's text; empty: no file, nor its folder
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("after"); // the records read back once saved
        QTest::addColumn<QString>("told");      // a part of the refusal; empty: saved
        const QString taken = document("presets", {presetEntry("Mine", "-m", "mkv", "Other"),
                                                   presetEntry("Kept", "-k", "mp4", "My Presets")});
        QTest::newRow("new file and folder")
            << QString() << "Quick / AVI & more"
            << QStringList{"Quick / AVI & more|-new|AVI|My Presets"} << QString();
        QTest::newRow("entries kept, a name taken in another category")
            << taken << "Mine"
            << QStringList{"Mine|-m|mkv|Other", "Kept|-k|mp4|My Presets",
                           "Mine|-new|AVI|My Presets"}
            << QString();
        QTest::newRow("name taken") << taken << "Kept" << QStringList() << "already holds";
        QTest::newRow("damaged file") << taken.left(80) << "New" << QStringList() << "damaged";
        const QList<std::pair<const char *, QString>> unfit = {{"blank name", " "}, {"<", "a<b"}};
        for (const auto &[name, text] : unfit)
            QTest::newRow(name) << QString() << text << QStringList() << "cannot be empty";
        QTest::newRow("too long for its line")
            << QString() << QString(32760, 'x') << QStringList() << "cannot be held";
    }

    // A save adds one entry and keeps the others; a refused one says why and leaves the file (or
    // its absence) as it was.
    void savesKeepTheFileOrRefuse()
    {
        QFETCH(QString, before);
        QFETCH(QString, label);
        QFETCH(QStringList, after);
        QFETCH(QString, told);
        QTemporaryDir dir;
        const QString path = dir.filePath("data/reelforge/presets.xml");
        if (!before.isEmpty()) {
            QVERIFY(QDir().mkpath(dir.filePath("data/reelforge")));
            writeFile(dir.filePath("data/reelforge"), "presets.xml", before);
        }
        const QByteArray unchanged = QFile::exists(path) ? fileBytes(path) : "no file";
        const QString message =
            UserPresets::save(path, {label, "-new", "AVI", UserPresets::category()});
        if (!told.isEmpty()) {
            QVERIFY2(message.contains(told), qPrintable(message));
            QCOMPARE(QFile::exists(path) ? fileBytes(path) : "no file", unchanged);
            return;
        }
        QVERIFY2(message.isEmpty(), qPrintable(message));
        const PresetsFile::Result saved = PresetsFile::load(path);
        QVERIFY2(saved.ok(), qPrintable(saved.error));
        QCOMPARE(recordTexts(saved.table), after);
    }

    // Converts short clips as the program does with every shipped preset (each from a 4:3, a 16:9
    // and an odd-sized white source, whose picture must keep its shape) and every codec in the
    // custom format, and reads every output back.
    void everyFormatConverts()
    {
        QTemporaryDir dir;
        const QString clip = dir.filePath("clip.avi");
        const QString silent = dir.filePath("silent.avi");
        // Small pictures keep the slowest encoders quick.
        QVERIFY(TestMedia::makeClip(clip, 0.5, true, "64x64") &&
                TestMedia::makeClip(silent, 0.5, false, "64x64"));
        const QList<std::pair<QString, double>> shapes = {
            {"96x72", 4.0 / 3}, {"128x72", 16.0 / 9}, {"99x67", 99.0 / 67}};
        for (const auto &[size, aspect] : shapes) {
            const QString white = "color=c=white:duration=0.4:size=" + size;
            QVERIFY(QProcess::execute(TestMedia::encoder(),
                                      {"-nostdin", "-v", "error", "-f", "lavfi", "-i", white, "-f",
                                       "lavfi", "-i", "sine=duration=0.4", "-ac", "1",
                                       dir.filePath(size + ".avi")}) == 0);
        }
        const PresetsFile::Result presets = PresetsFile::load(PresetsFile::defaultPath());
        const CodecsFile::Result codecs = CodecsFile::load(CodecsFile::defaultPath());
        QVERIFY2(presets.ok() && codecs.ok(), qPrintable(presets.error + codecs.error));
        QVERIFY(presets.table.count() > 1);

        QList<Conversion> conversions;
        const auto add = [&](const QString &label, const QString &input, const QString &options,
                             const QString &extension, double aspect,
                             const QStringList &readAs = {}) {
            const QString output =
                dir.filePath(QString::number(conversions.size()) + "." + extension);
            conversions.append({label,
                                QStringList{"-nostdin", "-hide_banner", "-i", input} +
                                    QProcess::splitCommand(options) + QStringList{"-y", output},
                                readAs, aspect});
        };
        for (const PresetRecord &preset : presets.table.records()) {
            const bool picture = !QProcess::splitCommand(preset.params).contains("-vn");
            for (const auto &[size, aspect] : shapes) {
                // As the queue runs it: streams copied or converted as the file's own plan says.
                const QString input = dir.filePath(size + ".avi");
                const StreamPlan plan = StreamPlan::make(MediaProbe::inspect(input).streams,
                                                         preset.params, preset.extension, false);
                add(preset.category + " / " + preset.label + " " + preset.extension + " from " +
                        size,
                    input, plan.options(), plan.extension(), picture ? aspect : 0);
            }
        }

        QHash<QString, QString> descriptions;
        for (const CodecRecord &codec : codecs.table.records())
            descriptions.insert(codec.name.trimmed(), codec.description);
        QStringList untried = descriptions.keys();
        for (const QString &line : kCustomCases) {
            const QStringList c = line.split(' ');
            QVERIFY2(descriptions.contains(c[0]) && descriptions.contains(c[1]), qPrintable(line));
            const CustomOptions::Result options = CustomOptions::build(
                {c.value(3, "22.05") + " KHz", "64", descriptions[c[1]], c.value(4, "2"),
                 descriptions[c[0]], "320", c.value(5, CustomLists::asInput()),
                 CustomLists::asInput(), "25"},
                codecs.table);
            QVERIFY2(options.ok(), qPrintable(options.error));
            const bool raw = c[2] == "yuv"; // raw video takes one stream only, of a size not told
            add(line, raw ? silent : clip, options.options, c[2], 0,
                raw ? QStringList{"-video_size", "64x64"} : QStringList());
            untried.removeAll(c[0]);
            untried.removeAll(c[1]);
        }
        QVERIFY2(untried.isEmpty(), qPrintable("not tried: " + untried.join(' ')));

        QStringList failures = QtConcurrent::blockingMapped(conversions, convert);
        failures.removeAll(QString());
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
    }
};

QTEST_GUILESS_MAIN(TestFormatFiles)
#include "TestFormatFiles.moc"
