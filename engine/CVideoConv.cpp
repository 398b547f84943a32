#include "CVideoConv.h"

#include "DOSOutputs.h"
#include "EncoderCommand.h"
#include "EncoderOutput.h"

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

bool CVideoConv::isRunning() const
{
    return m_converting;
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
    QPointer<CVideoConv> self(this);
    emit CurrentStatus(QStringLiteral("Starting..."));
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
        QTimer::singleShot(0, this, [this, failure] { fail(failure); });
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
    return !EncoderOutput::isUnknownFormat(runner.ExecuteCommand());
}

void CVideoConv::objDOS_ReceiveOutputs(const QString &chunk)
{
    if (!m_converting)
        return; // the probe's output is judged as a whole
    if (EncoderOutput::isUnknownFormat(chunk)) {
        QPointer<CVideoConv> self(this);
        emit CurrentStatus(QStringLiteral("Unknown format"));
        if (self)
            emit Progress(-1);
        return;
    }
    if (chunk == QLatin1String("Cancelled")) {
        emit CurrentStatus(chunk);
        return;
    }
    const std::optional<QString> time = EncoderOutput::progressTime(chunk);
    if (!time)
        return;
    const std::optional<double> seconds = EncoderOutput::seconds(*time);
    if (seconds) {
        QPointer<CVideoConv> self(this);
        emit mediaTimeChanged(*seconds);
        if (!self)
            return;
    }
    if (m_fileTimeLength > 0) {
        if (seconds)
            emit Progress(EncoderOutput::percent(*seconds, m_fileTimeLength));
        return;
    }
    const QString secondsText = EncoderOutput::secondsText(*time);
    if (!secondsText.isEmpty())
        emit CurrentStatus(secondsText + QStringLiteral(" Seconds Converted"));
}

void CVideoConv::objDOS_commandFinished()
{
    if (!m_converting)
        return;
    const ProcessRunner::Result &result = m_objDOS->result();
    switch (result.ending) {
    case ProcessRunner::Ending::Stopped:
        m_converting = false;
        emit finished({ConversionOutcome::Kind::Cancelled, QString()});
        return;
    case ProcessRunner::Ending::Exited:
        if (result.exitCode == 0) {
            m_converting = false;
            emit finished({ConversionOutcome::Kind::Succeeded, QString()});
            return;
        }
        break;
    case ProcessRunner::Ending::FailedToStart:
        fail(m_objDOS->startFailureText());
        return;
    default:
        break;
    }
    fail(EncoderOutput::errorDetail(m_objDOS->Outputs()));
}

void CVideoConv::endCancelled()
{
    m_converting = false;
    QPointer<CVideoConv> self(this);
    emit CurrentStatus(QStringLiteral("Cancelled"));
    if (self)
        emit finished({ConversionOutcome::Kind::Cancelled, QString()});
}

void CVideoConv::fail(const QString &reason)
{
    m_converting = false;
    QPointer<CVideoConv> self(this);
    emit CurrentStatus(QStringLiteral("Error"));
    if (self)
        emit finished({ConversionOutcome::Kind::Failed, reason});
}
