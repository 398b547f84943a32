#include "CVideoConv.h"

#include "DOSOutputs.h"
#include "EncoderOutput.h"
#include "EncoderPath.h"
#include "MessageBox.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>

#include <exception>
#include <new>
#include <system_error>

namespace {
const QString kCrLf = QStringLiteral("\r\n");

QString quoted(const QString &path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}

// The message for a failure nobody expected. Its number follows the classic run-time
// error table where one fits: 7 out of memory, else the system's own code, else 5.
void showUnexpectedFailure(const std::exception &error, const QString &source)
{
    int number = 5;
    if (dynamic_cast<const std::bad_alloc *>(&error))
        number = 7;
    else if (const auto *system = dynamic_cast<const std::system_error *>(&error))
        number = system->code().value();
    MessageBox::show(QStringLiteral("Error Occured:") + kCrLf +
                         QString::fromLocal8Bit(error.what()) + QStringLiteral(" - ") + source +
                         QStringLiteral(" - ") + QString::number(number),
                     MessageIcon::None);
}
} // namespace

struct CVideoConv::Private
{
    QString inputFile;
    QString outputFile;
    float fileTimeLength = 0;
    QString parametrs;
    std::unique_ptr<DOSOutputs> objDOS;
    bool succeeded = false;
};

CVideoConv::CVideoConv(QObject *parent) : QObject(parent), d(std::make_unique<Private>()) {}

CVideoConv::~CVideoConv() = default;

QString CVideoConv::InputFile() const
{
    return d->inputFile;
}

void CVideoConv::setInputFile(const QString &path)
{
    d->inputFile = path;
}

QString CVideoConv::OutputFile() const
{
    return d->outputFile;
}

void CVideoConv::setOutputFile(const QString &path)
{
    d->outputFile = path;
}

float CVideoConv::FileTimeLength() const
{
    return d->fileTimeLength;
}

void CVideoConv::setFileTimeLength(float seconds)
{
    d->fileTimeLength = seconds;
}

QString CVideoConv::Parametrs() const
{
    return d->parametrs;
}

void CVideoConv::setParametrs(const QString &options)
{
    d->parametrs = options;
}

QString CVideoConv::commandLineText() const
{
    return EncoderPath::program() + QStringLiteral(" -i ") + quoted(d->inputFile) +
           QLatin1Char(' ') + d->parametrs + QLatin1Char(' ') + quoted(d->outputFile);
}

QStringList CVideoConv::commandArguments() const
{
    return QStringList{EncoderPath::program(), QStringLiteral("-i"), d->inputFile} +
           QProcess::splitCommand(d->parametrs) + QStringList{d->outputFile};
}

bool CVideoConv::succeeded() const
{
    return d->succeeded;
}

DOSOutputs &CVideoConv::objDOS()
{
    if (!d->objDOS) {
        d->objDOS = std::make_unique<DOSOutputs>();
        connect(d->objDOS.get(), &DOSOutputs::ReceiveOutputs, this,
                &CVideoConv::objDOS_ReceiveOutputs);
    }
    return *d->objDOS;
}

void CVideoConv::StartConversion()
{
    if (d->objDOS && d->objDOS->isRunning())
        return; // one conversion at a time
    d->succeeded = false;
    QPointer<CVideoConv> self(this);
    try {
        DOSOutputs &runner = objDOS();
        runner.setCommandLine(commandLineText());
        runner.setArguments(commandArguments());
        QCoreApplication::processEvents();
        if (!self)
            return;
        emit CurrentStatus(QStringLiteral("Starting..."));
        if (!self)
            return;
        const QString output = runner.ExecuteCommand();
        if (!self)
            return; // released while the encoder ran
        const bool stopped = runner.StopConvert();
        d->succeeded =
            !stopped && runner.ending() == DOSOutputs::Ending::Exited && runner.exitCode() == 0;
        if (d->succeeded || stopped)
            return; // a stop already reported "Cancelled"
        emit CurrentStatus(QStringLiteral("Error"));
        if (!self)
            return;
        MessageBox::show(QStringLiteral("Error converting file: ") +
                             QFileInfo(d->inputFile).fileName() + kCrLf +
                             EncoderOutput::errorDetail(output),
                         MessageIcon::Critical);
    } catch (const std::exception &error) {
        showUnexpectedFailure(error, QStringLiteral("CVideoConv.StartConversion"));
    }
}

void CVideoConv::StopConversion()
{
    if (d->objDOS)
        d->objDOS->setStopConvert(true);
}

bool CVideoConv::IsFileSupported(const QString &path)
{
    if (d->objDOS && d->objDOS->isRunning())
        return false;
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return false; // the encoder would wait forever on a FIFO, and a folder is no video
    QPointer<CVideoConv> self(this);
    try {
        DOSOutputs &runner = objDOS();
        runner.setCommandLine(EncoderPath::program() + QStringLiteral(" -i ") + quoted(path));
        runner.setArguments({EncoderPath::program(), QStringLiteral("-i"), path});
        QCoreApplication::processEvents();
        if (!self)
            return false;
        return !EncoderOutput::isUnknownFormat(runner.ExecuteCommand());
    } catch (const std::exception &error) {
        showUnexpectedFailure(error, QStringLiteral("CVideoConv.IsFileSupported"));
        return false;
    }
}

void CVideoConv::objDOS_ReceiveOutputs(const QString &chunk)
{
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
    if (d->fileTimeLength > 0) {
        if (const std::optional<double> seconds = EncoderOutput::seconds(*time))
            emit Progress(EncoderOutput::percent(*seconds, d->fileTimeLength));
        return;
    }
    const QString seconds = EncoderOutput::secondsText(*time);
    if (!seconds.isEmpty())
        emit CurrentStatus(seconds + QStringLiteral(" Seconds Converted"));
}
