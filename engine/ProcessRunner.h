#pragma once

#include <QObject>
#include <QProcess>
#include <QStringDecoder>
#include <QStringList>

#include <memory>
#include <sys/types.h>

// Runs one child program from an argument list, without a shell, and never blocks: output
// arrives in chunks of at most 512 bytes, decoded as UTF-8 across chunk borders, and
// finished() tells how the child ended. Standard output and error share one channel and
// standard input is the null device. The child runs in a process group of its own, which a
// stop or the runner's release kills whole; the child also dies with this program.
class ProcessRunner : public QObject
{
    Q_OBJECT
public:
    enum class Ending { NotRun, Exited, Stopped, Signalled, FailedToStart };
    struct Result
    {
        Ending ending = Ending::NotRun;
        int exitCode = -1; // when Exited
        int signal = 0;    // when Signalled
        QString error;     // when FailedToStart: the system's description
    };

    explicit ProcessRunner(QObject *parent = nullptr);
    ~ProcessRunner() override; // kills a child that still runs

    // Starts the program (first word) with its arguments; finished() follows in every case,
    // also when the program cannot be started, and never from inside this call.
    void start(const QStringList &programAndArguments);
    // Kills the child and its group at once; no output is delivered after this call.
    void stop();
    bool isRunning() const { return m_running; }
    const Result &result() const { return m_result; }

signals:
    void outputReceived(const QString &chunk);
    void finished();

private:
    void readAvailable();
    void processFinished(int exitCode, QProcess::ExitStatus status);
    void processFailed(QProcess::ProcessError error);
    void finish(const Result &result);
    void killGroup();
    void releaseProcess();

    std::unique_ptr<QProcess> m_process;
    pid_t m_group = 0;
    bool m_running = false;
    bool m_stopRequested = false;
    QStringDecoder m_decoder{QStringDecoder::Utf8};
    Result m_result;
};
