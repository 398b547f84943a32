#include "engine/DOSOutputs.h"

#include "services/MessageBox.h"

#include <QEventLoop>
#include <QPointer>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr qsizetype kHead = 64 * 1024, kTail = 192 * 1024, kSlack = 32 * 1024;
const QString kCut = QStringLiteral("\n[...]\n");

QString pipeFailure(int code)
{
    return QStringLiteral("CreatePipe failed. Error: ") + QString::number(code);
}

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

DOSOutputs::DOSOutputs(QObject *parent) : QObject(parent)
{
    connect(&m_runner, &ProcessRunner::outputReceived, this, &DOSOutputs::runnerOutput);
    connect(&m_runner, &ProcessRunner::finished, this, &DOSOutputs::runnerFinished);
}

DOSOutputs::~DOSOutputs()
{
    // Released while ExecuteCommand waits: the runner's own release kills the child.
    if (m_loop)
        m_loop->quit();
}

QString DOSOutputs::CommandLine() const
{
    return m_commandLine;
}

void DOSOutputs::setCommandLine(const QString &commandLine)
{
    m_commandLine = commandLine;
    m_arguments.clear();
}

QStringList DOSOutputs::arguments() const
{
    return m_arguments.isEmpty() ? QProcess::splitCommand(m_commandLine) : m_arguments;
}

void DOSOutputs::setArguments(const QStringList &programAndArguments)
{
    m_arguments = programAndArguments;
}

QString DOSOutputs::Outputs() const
{
    return m_outputs;
}

bool DOSOutputs::StopConvert() const
{
    return m_stopConvert;
}

void DOSOutputs::setStopConvert(bool stop)
{
    m_stopConvert = stop;
    if (stop)
        m_runner.stop();
}

bool DOSOutputs::isRunning() const
{
    return m_runner.isRunning();
}

const ProcessRunner::Result &DOSOutputs::result() const
{
    return m_runner.result();
}

QString DOSOutputs::startFailureText() const
{
    const int code = resourceErrorCode(m_runner.result().error);
    return code != 0 ? pipeFailure(code) : QStringLiteral("File or command not found");
}

bool DOSOutputs::start(QString *failure)
{
    if (m_runner.isRunning()) {
        *failure = QStringLiteral("A command is already running");
        return false;
    }
    m_stopConvert = false;
    if (m_commandLine.isEmpty() && m_arguments.isEmpty()) {
        *failure = QStringLiteral("Command Line is empty");
        return false;
    }
    // The child's output needs a pipe; find out first whether the system can give one.
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        *failure = pipeFailure(errno);
        return false;
    }
    ::close(ends[0]);
    ::close(ends[1]);
    const QStringList words = arguments();
    if (words.isEmpty() || words.first().isEmpty()) {
        *failure = QStringLiteral("File or command not found");
        return false;
    }
    m_outputs.clear();
    m_runner.start(words);
    return true;
}

QString DOSOutputs::ExecuteCommand(const QString &commandLine)
{
    if (m_runner.isRunning()) {
        qWarning("DOSOutputs: a command is already running; the second one is refused");
        return QString();
    }
    if (!commandLine.isEmpty())
        setCommandLine(commandLine);
    QString failure;
    if (!start(&failure)) {
        MessageBox::show(failure, MessageIcon::Critical);
        return QString();
    }
    QPointer<DOSOutputs> self(this);
    QEventLoop loop;
    m_loop = &loop;
    connect(this, &DOSOutputs::commandFinished, &loop, &QEventLoop::quit);
    loop.exec();
    if (!self)
        return QString(); // released while waiting
    m_loop = nullptr;
    switch (m_runner.result().ending) {
    case ProcessRunner::Ending::FailedToStart:
        MessageBox::show(startFailureText(), MessageIcon::Critical);
        return QString();
    case ProcessRunner::Ending::Stopped:
        return m_stopConvert ? QString() : m_outputs;
    default:
        return m_outputs;
    }
}

void DOSOutputs::CleanUp()
{
    m_runner.stop();
}

void DOSOutputs::runnerOutput(const QString &chunk)
{
    m_outputs += chunk;
    // Cut now and then, not at every chunk; the tail kept never reaches an earlier mark.
    if (m_outputs.size() > kHead + kCut.size() + kTail + kSlack)
        m_outputs = m_outputs.left(kHead) + kCut + m_outputs.right(kTail);
    emit ReceiveOutputs(chunk);
}

void DOSOutputs::runnerFinished()
{
    QPointer<DOSOutputs> self(this);
    const ProcessRunner::Ending ending = m_runner.result().ending;
    if (ending == ProcessRunner::Ending::Stopped && m_stopConvert)
        emit ReceiveOutputs(QStringLiteral("Cancelled"));
    else if (ending != ProcessRunner::Ending::FailedToStart)
        emit ReceiveOutputs(QString()); // the read that found the end of the output
    if (self)
        emit commandFinished();
}
