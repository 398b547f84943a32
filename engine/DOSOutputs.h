#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QProcess;

// Runs one console program as a child and hands its output to the owner as it arrives.
// The child is started from an argument list, never through a shell; standard output and
// error share one channel and standard input is the null device. ExecuteCommand waits in a
// local event loop, so the window keeps working and a stop is taken at once.
class DOSOutputs : public QObject
{
    Q_OBJECT
public:
    enum class Ending { NotRun, Exited, Killed, FailedToStart };

    explicit DOSOutputs(QObject *parent = nullptr);
    ~DOSOutputs() override; // kills a child that still runs

    // The one-line text of the command, for display; the argument list below is executed.
    QString CommandLine() const;
    void setCommandLine(const QString &commandLine);
    // Program first, then its arguments. When empty, the CommandLine text is split into
    // words (blanks separate, double quotes group, nothing is expanded).
    QStringList arguments() const;
    void setArguments(const QStringList &programAndArguments);

    QString Outputs() const;
    bool StopConvert() const;
    void setStopConvert(bool stop);

    // Runs to the end or until stopped: the whole output after a normal end, empty text
    // after a stop or a failure. A non-empty argument replaces CommandLine (and clears the
    // argument list) first. A call made while a command already runs is refused and
    // returns empty text at once.
    QString ExecuteCommand(const QString &commandLine = QString());
    // Kills the child and releases the process; safe to call any number of times.
    void CleanUp();

    bool isRunning() const;
    Ending ending() const;
    int exitCode() const; // meaningful when ending() is Exited

signals:
    // Once after every read with the text just read (the last one empty), and once with
    // "Cancelled" after a stop.
    void ReceiveOutputs(const QString &text);

private:
    void readAvailable();
    void childFinished(int exitCode, int exitStatus);
    void childFailed(int error);
    void deliver(const QByteArray &bytes);
    void killChild();
    bool pipesAvailable();
    void reportStartFailure();

    struct Private;
    std::unique_ptr<Private> d;
};
