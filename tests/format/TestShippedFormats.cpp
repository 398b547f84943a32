#include "CodecsFile.h"
#include "CustomLists.h"
#include "CustomOptions.h"
#include "PresetsFile.h"
#include "TestMedia.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// How one codec of codecs.xml is proven in the custom format: a container it fits,
// a partner codec for the other stream, and the choices it needs.
struct CodecCase
{
    QString name;
    QString container;
    QString partner;
    QString sampleRate = QStringLiteral("22.05 KHz");
    QString channels = QStringLiteral("2");
    QString size = CustomLists::asInput();
    bool silentInput = false; // raw video takes one stream only
};

const QList<CodecCase> &codecCases()
{
    static const QList<CodecCase> cases = {
        {"copy", "AVI", "copy"},
        {"mpeg4", "AVI", "libmp3lame"},
        {"libx264", "MP4", "aac"},
        {"libx265", "MP4", "aac"},
        {"libvpx-vp9", "MP4", "aac"},
        {"libvpx", "AVI", "libmp3lame"},
        {"libaom-av1", "MP4", "aac"},
        {"libsvtav1", "MP4", "aac"},
        {"libxvid", "AVI", "libmp3lame"},
        {"mpeg2video", "MPEG", "mp2"},
        {"mpeg1video", "MPG", "mp2"},
        {"wmv2", "WMV", "wmav2"},
        {"wmv1", "WMV", "wmav1"},
        {"msmpeg4", "ASF", "wmav2"},
        {"msmpeg4v2", "AVI", "libmp3lame"},
        {"flv", "FLV", "libmp3lame"},
        {"h263", "MOV", "aac", "22.05 KHz", "2", "qcif(176x144)"},
        {"h263p", "MOV", "aac"},
        {"libtheora", "AVI", "libvorbis"},
        {"mjpeg", "AVI", "pcm_s16le"},
        {"prores_ks", "MOV", "pcm_s16le"},
        {"ffv1", "AVI", "pcm_s16le"},
        {"huffyuv", "AVI", "pcm_s16le"},
        {"utvideo", "AVI", "pcm_s16le"},
        {"png", "MOV", "aac"},
        {"qtrle", "MOV", "aac"},
        {"svq1", "MOV", "aac"},
        {"rv20", "RM", "ac3", "48 KHz"},
        {"rv10", "RM", "ac3", "48 KHz", "2", "qcif(176x144)"},
        {"rawvideo", "yuv", "pcm_s16le", "22.05 KHz", "2", CustomLists::asInput(), true},
        {"libmp3lame", "AVI", "mpeg4"},
        {"aac", "MP4", "libx264"},
        {"ac3", "MPG", "mpeg2video", "48 KHz"},
        {"eac3", "MP4", "libx264", "48 KHz"},
        {"mp2", "MPG", "mpeg2video"},
        {"libvorbis", "AVI", "mpeg4"},
        {"libopus", "MP4", "libx264", "48 KHz"},
        {"alac", "MOV", "libx264"},
        {"wmav2", "WMV", "wmv2"},
        {"wmav1", "ASF", "wmv1"},
        {"pcm_s16le", "AVI", "mpeg4"},
        {"pcm_mulaw", "AVI", "mpeg4", "8 KHz", "1"},
        {"pcm_alaw", "AVI", "mpeg4", "8 KHz", "1"},
        {"adpcm_ms", "AVI", "mpeg4"},
        {"adpcm_ima_wav", "AVI", "mpeg4"},
        {"adpcm_swf", "FLV", "flv"},
        {"nellymoser", "FLV", "flv", "22.05 KHz", "1"},
        {"libspeex", "FLV", "flv", "16 KHz", "1"},
        {"real_144", "RM", "rv10", "8 KHz", "1", "qcif(176x144)"},
    };
    return cases;
}

// One conversion of the one-second clip and the options that read its output back.
struct Conversion
{
    QString label;
    QString input;
    QString options;
    QString output;
    QStringList readOptions = {};
};

// Runs the encoder with each argument list, two at a time; returns what failed.
QStringList runAll(const QList<std::pair<QString, QStringList>> &runs)
{
    QStringList failures;
    std::vector<std::unique_ptr<QProcess>> processes(runs.size());
    QList<int> active;
    for (int next = 0; next < runs.size() || !active.isEmpty();) {
        for (; active.size() < 2 && next < runs.size(); ++next) {
            processes[next] = std::make_unique<QProcess>();
            processes[next]->setProcessChannelMode(QProcess::MergedChannels);
            processes[next]->setStandardInputFile(QProcess::nullDevice());
            processes[next]->start(TestMedia::encoder(), runs.at(next).second);
            active.append(next);
        }
        QProcess &process = *processes[active.first()];
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0) {
            const QStringList output = QString::fromUtf8(process.readAll()).trimmed().split('\n');
            failures << runs.at(active.first()).first + ": " + output.mid(-3).join(" | ");
        }
        processes[active.takeFirst()].reset();
    }
    return failures;
}

// Converts as the program does, then decodes every output in one run that stops at the
// first error.
QStringList convertAll(const QList<Conversion> &conversions)
{
    QList<std::pair<QString, QStringList>> encodes;
    QStringList decode = {"-v", "error", "-xerror"};
    QStringList maps;
    for (const Conversion &c : conversions) {
        encodes.append({c.label, QStringList{"-i", c.input} + QProcess::splitCommand(c.options) +
                                     QStringList{"-y", c.output}});
        decode += c.readOptions + QStringList{"-i", c.output};
        maps << "-map" << QString::number(encodes.size() - 1);
    }
    const QStringList failures = runAll(encodes);
    if (!failures.isEmpty())
        return failures;
    return runAll({{"reading the outputs back", decode + maps + QStringList{"-f", "null", "-"}}});
}

} // namespace

class TestShippedFormats : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everyPresetConverts();
    void everyCodecConvertsInCustomMode();
    void firstStartDefaultsConvert();

private:
    QString outputPath(const QString &name, const QString &extension) const;
    QString descriptionOf(const QString &name) const;

    QTemporaryDir m_dir;
    QString m_clip;
    QString m_silentClip;
    PresetsFile::Result m_presets;
    CodecsFile::Result m_codecs;
};

void TestShippedFormats::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_presets = PresetsFile::load(PresetsFile::defaultPath());
    QVERIFY2(m_presets.ok(), qPrintable(m_presets.error));
    m_codecs = CodecsFile::load(CodecsFile::defaultPath());
    QVERIFY2(m_codecs.ok(), qPrintable(m_codecs.error));
    m_clip = m_dir.filePath(QStringLiteral("clip.avi"));
    m_silentClip = m_dir.filePath(QStringLiteral("silent.avi"));
    QVERIFY(TestMedia::makeClip(m_clip, 1.0));
    QVERIFY(TestMedia::makeClip(m_silentClip, 1.0, false));

    QVERIFY(m_presets.categories.size() >= 6 && m_presets.table.count() >= 30);
    for (const CodecRecord &codec : m_codecs.table.records()) {
        const QString name = codec.name.trimmed();
        const bool covered = std::any_of(codecCases().cbegin(), codecCases().cend(),
                                         [&](const CodecCase &c) { return c.name == name; });
        QVERIFY2(covered, qPrintable("no conversion case for codec " + name));
    }
}

QString TestShippedFormats::outputPath(const QString &name, const QString &extension) const
{
    return m_dir.filePath(name + QLatin1Char('.') + extension);
}

QString TestShippedFormats::descriptionOf(const QString &name) const
{
    for (const CodecRecord &codec : m_codecs.table.records()) {
        if (codec.name.trimmed() == name)
            return codec.description;
    }
    return QString();
}

void TestShippedFormats::everyPresetConverts()
{
    QList<Conversion> conversions;
    const PresetTable &table = m_presets.table;
    for (int i = 0; i < table.count(); ++i) {
        const PresetRecord &preset = table.records().at(i);
        const QString label =
            QStringLiteral("%1 %2 / %3").arg(i).arg(preset.category, preset.label);
        conversions.append(
            {label, m_clip, preset.params, outputPath(QString::number(i), preset.extension)});
    }
    const QStringList failures = convertAll(conversions);
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
}

void TestShippedFormats::everyCodecConvertsInCustomMode()
{
    QList<Conversion> conversions;
    for (const CodecCase &c : codecCases()) {
        const QString own = descriptionOf(c.name);
        const QString partner = descriptionOf(c.partner);
        QVERIFY2(!own.isEmpty() && !partner.isEmpty(), qPrintable(c.name + " is not listed"));
        const bool video = m_codecs.videoItems.contains(own);
        const CustomFormat format{c.sampleRate, QStringLiteral("64"),   video ? partner : own,
                                  c.channels,   video ? own : partner,  QStringLiteral("320"),
                                  c.size,       CustomLists::asInput(), QStringLiteral("25")};
        const CustomOptions::Result options = CustomOptions::build(format, m_codecs.table);
        QVERIFY2(options.ok(), qPrintable(options.error));
        QStringList readOptions;
        if (c.silentInput) {
            readOptions = {"-f", "rawvideo", "-pixel_format", "yuv420p", "-video_size", "160x120"};
        }
        conversions.append({c.name, c.silentInput ? m_silentClip : m_clip, options.options,
                            outputPath("custom-" + c.name, c.container), readOptions});
    }
    const QStringList failures = convertAll(conversions);
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
}

void TestShippedFormats::firstStartDefaultsConvert()
{
    // The stored defaults pick the second item of each data-driven list.
    const PresetTable &presets = m_presets.table;
    QVERIFY(m_presets.categories.size() >= 2);
    const QString category = m_presets.categories.at(1);
    QVERIFY(presets.labels(category).size() >= 2);
    const QString label = presets.labels(category).at(1);
    QVERIFY(presets.extensions(category, label).size() >= 2);
    const QString extension = presets.extensions(category, label).at(1);

    QVERIFY(m_codecs.videoItems.size() >= 2 && m_codecs.audioItems.size() >= 2);
    const CustomFormat custom{CustomLists::sampleRates().at(4),
                              QStringLiteral("64"),
                              m_codecs.audioItems.at(1),
                              QStringLiteral("2"),
                              m_codecs.videoItems.at(1),
                              QStringLiteral("320"),
                              CustomLists::sizes().at(0),
                              CustomLists::aspects().at(0),
                              QStringLiteral("25")};
    const CustomOptions::Result options = CustomOptions::build(custom, m_codecs.table);
    QVERIFY2(options.ok(), qPrintable(options.error));

    const QStringList failures = convertAll({
        {"default preset", m_clip, presets.params(category, label, extension),
         outputPath("default-preset", extension)},
        {"default custom", m_clip, options.options,
         outputPath("default-custom", CustomLists::containers().at(2))},
    });
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
}

QTEST_GUILESS_MAIN(TestShippedFormats)
#include "TestShippedFormats.moc"
