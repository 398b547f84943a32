#include "engine/CVideoConv.h"

#include "engine/DOSOutputs.h"
#include "engine/EncoderCommand.h"
#include "engine/EncoderOutput.h"

#include <QFileInfo>
#include <QPointer>
#include <QTimer>

CVideoConv::CVideoConv(QObject *parent) : QObject(parent) {}

CVideoConv::~CVideoConv() = default;

QString CVideoConv::InputFile() const
{
    return m_inputFile;
}

void CVideoConv::setInputFile(const QString &path)
{
    m_inputFile = path;
}

QString CVideoConv::OutputFile() const
{
    return m_outputFile;
}

void CVideoConv::setOutputFile(const QString &path)
{
    m_outputFile = path;
}

float CVideoConv::FileTimeLength() const
{
    return m_fileTimeLength;
}

void CVideoConv::setFileTimeLength(float seconds)
{
    m_fileTimeLength = seconds;
}

QString CVideoConv::Parametrs() const
{
    return m_parametrs;
}

void CVideoConv::setParametrs(const QString &options)
{
    m_parametrs = options;
}

QString CVideoConv::commandLineText() const
{
    return EncoderCommand::conversionText(m_inputFile, m_parametrs, m_outputFile);
}

QStringList CVideoConv::commandArguments() const
{
    return EncoderCommand::conversion(m_inputFile, m_parametrs, m_outputFile);
}

DOSOutputs &CVideoConv::objDOS()
{
    if (!m_objDOS) {
        m_objDOS = std::make_unique<DOSOutputs>();
        connect(m_objDOS.get(), &DOSOutputs::ReceiveOutputs, this,
                &CVideoConv::objDOS_ReceiveOutputs);
        connect(m_objDOS.get(), &DOSOutputs::commandFinished, this,
                &CVideoConv::objDOS_commandFinished);
    }
    return *m_objDOS;
}

void CVideoConv::start()
{
    if (m_converting || (m_objDOS && m_objDOS->isRunning()))
        return; // one run at a time
    m_converting = true;
    m_stopRequested = false;
    m_encodingStarted = false;
    m_inputUnreadable = false;
    QPointer<CVideoConv> self(this);
    emit CurrentStatus(QStringLiteral("Starting..."));
    if (self)
        emit stateChanged({JobState::Kind::Starting, 0, -1, QString()});
    if (!self)
        return;
    if (m_stopRequested) {
        // Stopped before the encoder ran: it never starts.
        QTimer::singleShot(0, this, &CVideoConv::endCancelled);
        return;
    }
    DOSOutputs &runner = objDOS();
    runner.setCommandLine(commandLineText());
    runner.setArguments(commandArguments());
    QString failure;
    if (!runner.start(&failure)) {
        // Reported from the event loop, like every other ending.
        QTimer::singleShot(0, this, [this, failure] {
            ConversionOutcome outcome;
            outcome.reason = failure;
            fail(outcome);
        });
    }
}

void CVideoConv::StopConversion()
{
    if (!m_converting)
        return;
    m_stopRequested = true;
    if (m_objDOS && m_objDOS->isRunning())
        m_objDOS->setStopConvert(true);
}

bool CVideoConv::IsFileSupported(const QString &path)
{
    if (m_objDOS && m_objDOS->isRunning())
        return false;
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return false; // the encoder would wait forever on a FIFO, and a folder is no video
    DOSOutputs &runner = objDOS();
    runner.setCommandLine(EncoderCommand::probeText(path));
    runner.setArguments(EncoderCommand::probe(path));
    return !EncoderOutput::isUnknownFormat(runner.ExecuteCommand(), path);
}

void CVideoConv::objDOS_ReceiveOutputs(const QString &chunk)
{
    if (!m_converting)
        return; // the probe's output is judged as a whole
    if (!m_encodingStarted) {
        // The whole output is read only once a chunk brings a phrase worth judging; a phrase
        // split between two chunks is still found.
        const QString &output = m_objDOS->Outputs();
        const QStringView recent = QStringView(output).right(chunk.size() + 40);
        if (recent.contains(QLatin1String("press [q] to stop"), Qt::CaseInsensitive))
            m_encodingStarted = EncoderOutput::encodingStarted(output, paths());
        if (!m_encodingStarted && !m_inputUnreadable &&
            (recent.contains(QLatin1String("Invalid data found")) ||
             recent.contains(QLatin1String("Unknown format"))) &&
            EncoderOutput::inputUnreadable(output, m_inputFile)) {
            m_inputUnreadable = true;
            QPointer<CVideoConv> self(this);
            emit CurrentStatus(QStringLiteral("Unknown format"));
            if (self)
                emit Progress(-1);
            if (self)
                emit stateChanged({JobState::Kind::InputUnreadable, 0, -1, QString()});
            return;
        }
    }
    if (chunk == QLatin1String("Cancelled")) {
        emit CurrentStatus(chunk);
        return;
    }
    const std::optional<QString> time = EncoderOutput::progressTime(chunk);
    if (!time)
        return;
    const std::optional<double> seconds = EncoderOutput::seconds(*time);
    if (!seconds)
        return;
    JobState state{JobState::Kind::Converting, qRound64(*seconds * 1000), -1, QString()};
    QPointer<CVideoConv> self(this);
    if (m_fileTimeLength > 0) {
        state.percent = EncoderOutput::percent(*seconds, m_fileTimeLength);
        emit Progress(qint16(state.percent));
    } else {
        state.seconds = EncoderOutput::secondsText(*time);
        emit CurrentStatus(state.seconds + QStringLiteral(" Seconds Converted"));
    }
    if (self)
        emit stateChanged(state);
}

void CVideoConv::objDOS_commandFinished()
{
    if (!m_converting)
        return;
    const ProcessRunner::Result &result = m_objDOS->result();
    const QString &output = m_objDOS->Outputs();
    ConversionOutcome outcome;
    outcome.log = output;
    switch (result.ending) {
    case ProcessRunner::Ending::Stopped:
        m_converting = false;
        outcome.kind = ConversionOutcome::Kind::Cancelled;
        emit finished(outcome);
        return;
    case ProcessRunner::Ending::Exited:
        // The encoder may exit with 0 after failing to write its file's end on a full disk.
        if (result.exitCode == 0 && !EncoderOutput::diskFull(output, paths())) {
            m_converting = false;
            outcome.kind = ConversionOutcome::Kind::Succeeded;
            emit finished(outcome);
            return;
        }
        outcome.diskFull = EncoderOutput::diskFull(output, paths());
        if (outcome.diskFull)
            outcome.reason = QStringLiteral("No space left on device in %1.")
                                 .arg(QFileInfo(m_outputFile).absolutePath());
        else if (!QFileInfo::exists(m_inputFile))
            outcome.reason =
                QStringLiteral("The input file is no longer there: %1.").arg(m_inputFile);
        else
            outcome.reason =
                QStringLiteral("The encoder ended with exit status %1.").arg(result.exitCode);
        break;
    case ProcessRunner::Ending::Signalled:
        outcome.reason = QStringLiteral("The encoder was killed by signal %1.").arg(result.signal);
        break;
    default:
        outcome.reason = m_objDOS->startFailureText();
        break;
    }
    const QString line = EncoderOutput::errorLine(output, paths());
    if (!line.isEmpty() && result.ending == ProcessRunner::Ending::Exited)
        outcome.reason += QStringLiteral("\r\n") + line;
    fail(outcome);
}

QStringList CVideoConv::paths() const
{
    return {m_inputFile, m_outputFile};
}

void CVideoConv::endCancelled()
{
    m_converting = false;
    QPointer<CVideoConv> self(this);
    emit CurrentStatus(QStringLiteral("Cancelled"));
    if (self)
        emit finished({ConversionOutcome::Kind::Cancelled, QString(), false, QString()});
}

void CVideoConv::fail(ConversionOutcome outcome)
{
    m_converting = false;
    outcome.kind = ConversionOutcome::Kind::Failed;
    QPointer<CVideoConv> self(this);
    emit CurrentStatus(QStringLiteral("Error"));
    if (self)
        emit finished(outcome);
}
