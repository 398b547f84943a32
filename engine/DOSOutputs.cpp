#include "DOSOutputs.h"

#include "MessageBox.h"

#include <QEventLoop>
#include <QPointer>
#include <QProcess>
#include <QStringDecoder>

#include <cerrno>
#include <csignal>
#include <sys/prctl.h>
#include <sys/types.h>
#include <unistd.h>

namespace {
// Each read hands on at most this many bytes.
constexpr qint64 kChunkSize = 512;

// A start that failed for want of pipes, descriptors, processes or memory is reported as a
// pipe failure with its error code; any other start failure means the program is missing.
int resourceErrorCode(const QString &startError)
{
    for (const int code : {EMFILE, ENFILE, EAGAIN, ENOMEM}) {
        if (startError.contains(qt_error_string(code)))
            return code;
    }
    return 0;
}
} // namespace

struct DOSOutputs::Private
{
    QString commandLine;
    QStringList arguments;
    QString outputs;
    bool stopConvert = false;
    bool running = false;
    bool cleanedDuringRun = false;
    bool startFailed = false;
    QString startError;
    std::unique_ptr<QProcess> process;
    pid_t group = 0; // the child's own process group
    QEventLoop *loop = nullptr;
    QStringDecoder decoder{QStringDecoder::Utf8};
    Ending ending = Ending::NotRun;
    int exitCode = -1;
};

DOSOutputs::DOSOutputs(QObject *parent) : QObject(parent), d(std::make_unique<Private>()) {}

DOSOutputs::~DOSOutputs()
{
    if (!d->running) {
        CleanUp();
        return;
    }
    // Released by a handler while ExecuteCommand waits: kill now, and let the process
    // object go once it has reaped the child, as we may be inside one of its signals.
    killChild();
    QProcess *process = d->process.release();
    process->disconnect(this);
    if (process->state() == QProcess::NotRunning)
        process->deleteLater();
    else
        connect(process, &QProcess::finished, process, &QObject::deleteLater);
    if (d->loop)
        d->loop->quit();
}

QString DOSOutputs::CommandLine() const
{
    return d->commandLine;
}

void DOSOutputs::setCommandLine(const QString &commandLine)
{
    d->commandLine = commandLine;
    d->arguments.clear();
}

QStringList DOSOutputs::arguments() const
{
    return d->arguments.isEmpty() ? QProcess::splitCommand(d->commandLine) : d->arguments;
}

void DOSOutputs::setArguments(const QStringList &programAndArguments)
{
    d->arguments = programAndArguments;
}

QString DOSOutputs::Outputs() const
{
    return d->outputs;
}

bool DOSOutputs::StopConvert() const
{
    return d->stopConvert;
}

void DOSOutputs::setStopConvert(bool stop)
{
    d->stopConvert = stop;
    if (stop && d->running)
        killChild();
}

bool DOSOutputs::isRunning() const
{
    return d->running;
}

DOSOutputs::Ending DOSOutputs::ending() const
{
    return d->ending;
}

int DOSOutputs::exitCode() const
{
    return d->exitCode;
}

QString DOSOutputs::ExecuteCommand(const QString &commandLine)
{
    if (d->running) {
        qWarning("DOSOutputs: a command is already running; the second one is refused");
        return QString();
    }
    d->stopConvert = false;
    if (!commandLine.isEmpty())
        setCommandLine(commandLine);
    if (d->commandLine.isEmpty() && d->arguments.isEmpty()) {
        MessageBox::show(QStringLiteral("Command Line is empty"), MessageIcon::Critical);
        return QString();
    }
    CleanUp();

    d->ending = Ending::NotRun;
    d->exitCode = -1;
    d->startFailed = false;
    d->startError.clear();
    d->cleanedDuringRun = false;
    if (!pipesAvailable())
        return QString();
    const QStringList words = arguments();
    if (words.isEmpty() || words.first().isEmpty()) {
        d->ending = Ending::FailedToStart;
        reportStartFailure();
        return QString();
    }

    d->process = std::make_unique<QProcess>();
    QProcess *process = d->process.get();
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setChildProcessModifier([] {
        ::setpgid(0, 0);
        // Should the program itself be killed, the encoder goes with it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    process->setProgram(words.first());
    process->setArguments(words.mid(1));
    connect(process, &QProcess::readyReadStandardOutput, this, &DOSOutputs::readAvailable);
    connect(process, &QProcess::finished, this,
            [this](int code, QProcess::ExitStatus status) { childFinished(code, status); });
    connect(process, &QProcess::errorOccurred, this,
            [this](QProcess::ProcessError error) { childFailed(error); });

    d->outputs.clear();
    d->decoder.resetState();
    d->running = true;

    QPointer<DOSOutputs> self(this);
    QEventLoop loop;
    d->loop = &loop;
    process->start();
    if (!d->startFailed) {
        d->group = pid_t(process->processId());
        loop.exec();
    }
    if (!self)
        return QString(); // released while waiting; the destructor did the rest
    d->loop = nullptr;
    d->running = false;

    if (d->startFailed) {
        d->ending = Ending::FailedToStart;
        CleanUp();
        reportStartFailure();
        return QString();
    }
    CleanUp();
    if (d->stopConvert) {
        emit ReceiveOutputs(QStringLiteral("Cancelled"));
        return QString();
    }
    return d->outputs;
}

void DOSOutputs::CleanUp()
{
    if (!d->process)
        return;
    killChild();
    if (d->running) {
        // The waiting ExecuteCommand ends once the killed child has been reaped.
        d->cleanedDuringRun = true;
        return;
    }
    d->process.reset();
    d->group = 0;
}

void DOSOutputs::readAvailable()
{
    QPointer<DOSOutputs> self(this);
    while (d->running && !d->stopConvert && !d->cleanedDuringRun &&
           d->process->bytesAvailable() > 0) {
        deliver(d->process->read(kChunkSize));
        if (!self)
            return;
    }
}

void DOSOutputs::childFinished(int exitCode, int exitStatus)
{
    QPointer<DOSOutputs> self(this);
    readAvailable();
    if (!self)
        return;
    const bool exitedOnItsOwn = exitStatus == QProcess::NormalExit;
    d->ending = exitedOnItsOwn ? Ending::Exited : Ending::Killed;
    d->exitCode = exitedOnItsOwn ? exitCode : -1;
    if (!d->stopConvert && !d->cleanedDuringRun) {
        deliver(QByteArray()); // the read that found the end of the output
        if (!self)
            return;
    }
    if (d->loop)
        d->loop->quit();
}

void DOSOutputs::childFailed(int error)
{
    if (error != QProcess::FailedToStart)
        return; // a crash or a killed child still ends through finished()
    d->startFailed = true;
    d->startError = d->process->errorString();
    if (d->loop)
        d->loop->quit();
}

void DOSOutputs::deliver(const QByteArray &bytes)
{
    const QString chunk = d->decoder.decode(bytes);
    d->outputs += chunk;
    emit ReceiveOutputs(chunk);
}

void DOSOutputs::killChild()
{
    if (d->group > 0)
        ::kill(-d->group, SIGKILL);
    if (d->process && d->process->state() != QProcess::NotRunning)
        d->process->kill();
}

bool DOSOutputs::pipesAvailable()
{
    // The child's output needs a pipe; find out first whether the system can give one.
    int ends[2];
    if (::pipe(ends) != 0) {
        const int code = errno;
        d->ending = Ending::FailedToStart;
        MessageBox::show(QStringLiteral("CreatePipe failed. Error: ") + QString::number(code),
                         MessageIcon::Critical);
        return false;
    }
    ::close(ends[0]);
    ::close(ends[1]);
    return true;
}

void DOSOutputs::reportStartFailure()
{
    const int code = resourceErrorCode(d->startError);
    if (code != 0) {
        MessageBox::show(QStringLiteral("CreatePipe failed. Error: ") + QString::number(code),
                         MessageIcon::Critical);
    } else {
        MessageBox::show(QStringLiteral("File or command not found"), MessageIcon::Critical);
    }
}
