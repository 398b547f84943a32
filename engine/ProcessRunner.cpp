#include "engine/ProcessRunner.h"

#include <QPointer>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {
// Each delivery hands on at most this many bytes.
constexpr qint64 kChunkSize = 512;
} // namespace

ProcessRunner::ProcessRunner(QObject *parent) : QObject(parent) {}

ProcessRunner::~ProcessRunner()
{
    if (m_running) {
        killGroup();
        // Dead before the owner goes on to remove the file it wrote (on a network mount a file
        // still open is only renamed away, and its folder could not go); the departing owner
        // is told nothing more.
        if (m_process) {
            m_process->disconnect(this);
            m_process->waitForFinished(5000);
        }
    }
    releaseProcess();
}

void ProcessRunner::start(const QStringList &programAndArguments)
{
    if (m_running)
        return;
    releaseProcess();
    m_result = Result();
    m_stopRequested = false;
    m_decoder.resetState();
    m_running = true;
    if (programAndArguments.isEmpty() || programAndArguments.first().isEmpty()) {
        Result failed;
        failed.ending = Ending::FailedToStart;
        failed.error = QStringLiteral("No program to start");
        QTimer::singleShot(0, this, [this, failed] { finish(failed); });
        return;
    }
    m_process = std::make_unique<QProcess>();
    QProcess *process = m_process.get();
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setChildProcessModifier([] {
        ::setpgid(0, 0);
        // Should this program be killed, the child goes with it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // Signals this program leaves to a thread of its own are the child's to take.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        // A file another thread opened without close-on-exec (the media library's, say) is
        // no business of the child: it keeps its three standard streams only.
        if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
            struct rlimit limit;
            const int last = ::getrlimit(RLIMIT_NOFILE, &limit) == 0 ? int(limit.rlim_cur) : 1024;
            for (int fd = 3; fd < last; ++fd)
                ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    });
    process->setProgram(programAndArguments.first());
    process->setArguments(programAndArguments.mid(1));
    connect(process, &QProcess::readyReadStandardOutput, this, &ProcessRunner::readAvailable);
    connect(process, &QProcess::finished, this, &ProcessRunner::processFinished);
    // Queued, so that a start failure never reaches the owner inside start().
    connect(process, &QProcess::errorOccurred, this, &ProcessRunner::processFailed,
            Qt::QueuedConnection);
    process->start();
    if (process->state() != QProcess::NotRunning)
        m_group = pid_t(process->processId());
}

void ProcessRunner::stop()
{
    if (!m_running)
        return;
    m_stopRequested = true;
    killGroup();
}

void ProcessRunner::readAvailable()
{
    QPointer<ProcessRunner> self(this);
    while (self && m_running && !m_stopRequested && m_process && m_process->bytesAvailable() > 0) {
        const QString chunk = m_decoder.decode(m_process->read(kChunkSize));
        emit outputReceived(chunk);
    }
}

void ProcessRunner::processFinished(int exitCode, QProcess::ExitStatus status)
{
    QPointer<ProcessRunner> self(this);
    readAvailable();
    if (!self || !m_running)
        return;
    Result result;
    if (m_stopRequested) {
        result.ending = Ending::Stopped;
    } else if (status == QProcess::NormalExit) {
        result.ending = Ending::Exited;
        result.exitCode = exitCode;
    } else {
        // After a crash the process keeps the number of the signal that ended the child.
        result.ending = Ending::Signalled;
        result.signal = exitCode;
    }
    finish(result);
}

void ProcessRunner::processFailed(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart || !m_running || !m_process)
        return; // a crash or a killed child still ends through processFinished()
    Result result;
    result.ending = Ending::FailedToStart;
    result.error = m_process->errorString();
    finish(result);
}

void ProcessRunner::finish(const Result &result)
{
    m_running = false;
    m_group = 0;
    m_result = result;
    emit finished();
}

void ProcessRunner::killGroup()
{
    if (m_group > 0)
        ::kill(-m_group, SIGKILL);
    if (m_process && m_process->state() != QProcess::NotRunning)
        m_process->kill();
}

void ProcessRunner::releaseProcess()
{
    if (!m_process)
        return;
    // We may be inside one of the process's own signals: let it go from the event loop, once
    // it has reaped its child.
    QProcess *process = m_process.release();
    process->disconnect(this);
    if (process->state() == QProcess::NotRunning)
        process->deleteLater();
    else
        connect(process, &QProcess::finished, process, &QObject::deleteLater);
}
