#include "engine/EncoderInventory.h"

#include <QHash>
#include <QProcess>

namespace {
// The container the encoder picks for an output extension.
QString muxerOf(const QString &extension)
{
    static const QHash<QString, QString> muxers = {
        {"3gp", "3gp"},  {"asf", "asf"},     {"avi", "avi"},  {"flac", "flac"},
        {"flv", "flv"},  {"gif", "gif"},     {"m4a", "ipod"}, {"mkv", "matroska"},
        {"mov", "mov"},  {"mp3", "mp3"},     {"mp4", "mp4"},  {"mpeg", "mpeg"},
        {"mpg", "mpeg"}, {"ogg", "ogg"},     {"ogv", "ogg"},  {"opus", "opus"},
        {"rm", "rm"},    {"ts", "mpegts"},   {"wav", "wav"},  {"webm", "webm"},
        {"wmv", "asf"},  {"yuv", "rawvideo"}};
    return muxers.value(extension.toLower());
}

// The lines of a listing below its line of dashes, each split into words.
QList<QStringList> listedLines(const QString &listing)
{
    QList<QStringList> lines;
    bool listed = false;
    for (const QString &line : listing.split(QLatin1Char('\n'))) {
        const QStringList words = line.simplified().split(QLatin1Char(' '));
        if (listed && words.size() >= 2)
            lines << words;
        else if (!listed)
            listed = words.size() == 1 && words.first().startsWith(QLatin1String("--"));
    }
    return lines;
}

bool isCodecOption(const QString &option)
{
    static const QStringList options = {"-c",      "-codec",  "-c:v",     "-c:a",
                                        "-vcodec", "-acodec", "-codec:v", "-codec:a"};
    return options.contains(option);
}
} // namespace

EncoderInventory::EncoderInventory(QObject *parent) : QObject(parent) {}

// An answer still on its way is no longer wanted: the runner kills its child.
EncoderInventory::~EncoderInventory() = default;

void EncoderInventory::start(const QString &program)
{
    m_program = program;
    m_questions = {QStringLiteral("-codecs"), QStringLiteral("-muxers")};
    askNext();
}

void EncoderInventory::askNext()
{
    m_answer.clear();
    m_runner = std::make_unique<ProcessRunner>();
    connect(m_runner.get(), &ProcessRunner::outputReceived, this,
            [this](const QString &chunk) { m_answer += chunk; });
    connect(m_runner.get(), &ProcessRunner::finished, this, &EncoderInventory::answered);
    m_runner->start({m_program, QStringLiteral("-hide_banner"), m_questions.first()});
}

void EncoderInventory::answered()
{
    // An encoder that cannot answer, or answers with no list, leaves everything available.
    const bool codecs = m_questions.first() == QLatin1String("-codecs");
    const QSet<QString> names = codecs ? encodableNames(m_answer) : listedNames(m_answer);
    const ProcessRunner::Result &result = m_runner->result();
    if (result.ending != ProcessRunner::Ending::Exited || result.exitCode != 0 || names.isEmpty())
        return;
    m_questions.removeFirst();
    (codecs ? m_encoders : m_muxers) = names;
    if (!m_questions.isEmpty()) {
        // The finished runner is released from the event loop, not inside its own signal.
        m_runner.release()->deleteLater();
        askNext();
        return;
    }
    m_ready = true;
    emit ready();
}

QSet<QString> EncoderInventory::listedNames(const QString &listing)
{
    QSet<QString> names;
    // Flags, then the name (several names may share a line, joined by commas).
    for (const QStringList &words : listedLines(listing)) {
        for (const QString &name : words.at(1).split(QLatin1Char(',')))
            names.insert(name);
    }
    return names;
}

QSet<QString> EncoderInventory::encodableNames(const QString &listing)
{
    QSet<QString> names;
    for (const QStringList &words : listedLines(listing)) {
        // A codec it can encode ("DEV.L." flags) stands for its first encoder.
        if (words.first().mid(1, 1) == QLatin1String("E"))
            names.insert(words.at(1));
        const qsizetype list = words.indexOf(QLatin1String("(encoders:"));
        for (qsizetype i = list + 1; list >= 0 && i < words.size(); ++i) {
            if (words.at(i) == QLatin1String(")"))
                break;
            names.insert(words.at(i));
        }
    }
    return names;
}

QString EncoderInventory::missingEncoder(const QString &encoder) const
{
    if (!m_ready || encoder.isEmpty() || encoder == QLatin1String("copy") ||
        m_encoders.contains(encoder))
        return QString();
    return QStringLiteral("encoder \"%1\"").arg(encoder);
}

QString EncoderInventory::missingMuxer(const QString &muxer) const
{
    if (!m_ready || muxer.isEmpty() || m_muxers.contains(muxer))
        return QString();
    return QStringLiteral("container \"%1\"").arg(muxer);
}

QString EncoderInventory::missingContainer(const QString &extension) const
{
    return missingMuxer(muxerOf(extension));
}

QString EncoderInventory::missingFor(const QString &options, const QString &extension) const
{
    const QStringList words = QProcess::splitCommand(options);
    QStringList encoders;
    QString muxer = muxerOf(extension);
    for (qsizetype i = 0; i + 1 < words.size(); ++i) {
        const QString &value = words.at(i + 1);
        if (isCodecOption(words.at(i))) {
            encoders << value;
        } else if (words.at(i) == QLatin1String("-f")) {
            muxer = value;
        } else if (words.at(i) == QLatin1String("-target")) {
            // A target names its own codecs and container: pal-dvd, ntsc-vcd, film-svcd ...
            const QString kind = value.section(QLatin1Char('-'), -1);
            muxer = kind;
            encoders << (kind == QLatin1String("vcd") ? QStringLiteral("mpeg1video")
                                                      : QStringLiteral("mpeg2video"))
                     << (kind == QLatin1String("dvd") ? QStringLiteral("ac3")
                                                      : QStringLiteral("mp2"));
        }
    }
    for (const QString &encoder : encoders) {
        const QString missing = missingEncoder(encoder);
        if (!missing.isEmpty())
            return missing;
    }
    return missingMuxer(muxer);
}
