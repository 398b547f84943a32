#pragma once

#include "engine/ProcessRunner.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QEventLoop;

// Runs one console program and hands its output to the owner as it arrives, over a
// ProcessRunner. start() returns at once and commandFinished() follows; ExecuteCommand waits
// in a local event loop for callers that need the whole output at once, such as the probe.
class DOSOutputs : public QObject
{
    Q_OBJECT
public:
    explicit DOSOutputs(QObject *parent = nullptr);
    ~DOSOutputs() override; // kills a child that still runs

    // The one-line text of the command, for display; the argument list below is executed.
    QString CommandLine() const;
    void setCommandLine(const QString &commandLine);
    // Program first, then its arguments. When empty, the CommandLine text is split into
    // words (blanks separate, double quotes group, nothing is expanded).
    QStringList arguments() const;
    void setArguments(const QStringList &programAndArguments);

    // What the command said: its start and its end, a long middle left out (mostly progress
    // lines), so that a long run keeps a bounded text.
    QString Outputs() const;
    bool StopConvert() const;
    void setStopConvert(bool stop);

    // Starts the command; false, with the message text in failure, when it cannot start.
    bool start(QString *failure);
    // Runs to the end or until stopped: the whole output after a normal end, empty text
    // after a stop or a failure, whose message it shows. A non-empty argument replaces
    // CommandLine (and clears the argument list) first. A call made while a command already
    // runs is refused and returns empty text at once.
    QString ExecuteCommand(const QString &commandLine = QString());
    // Kills the child; the run then ends as if the child had ended. Safe to call any time.
    void CleanUp();

    bool isRunning() const;
    const ProcessRunner::Result &result() const;
    // The message for a run that could not start.
    QString startFailureText() const;

signals:
    // Once after every read with the text just read (the last one empty), and once with
    // "Cancelled" after a stop.
    void ReceiveOutputs(const QString &text);
    void commandFinished();

private:
    void runnerOutput(const QString &chunk);
    void runnerFinished();

    QString m_commandLine;
    QStringList m_arguments;
    QString m_outputs;
    bool m_stopConvert = false;
    ProcessRunner m_runner;
    QEventLoop *m_loop = nullptr;
};
