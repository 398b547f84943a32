#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

// A program of this build (they all lie beside the test programs), started at once in folder
// (empty: this program's own) with the environment given (empty: this program's own).
class BuiltProgram
{
public:
    // What a run to its end printed on each channel, and its exit status (-1 after a crash).
    struct Ran
    {
        int status = -1;
        QString out, err;
    };

    BuiltProgram(const QString &name, const QStringList &arguments, const QString &folder = {},
                 const QProcessEnvironment &environment = {})
    {
        if (!environment.isEmpty())
            process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder);
        process.start(QCoreApplication::applicationDirPath() + '/' + name, arguments);
    }

    // Runs the program of this build to its end, at most five minutes.
    static Ran run(const QString &name, const QStringList &arguments,
                   const QProcessEnvironment &environment = {})
    {
        return runProgram(QCoreApplication::applicationDirPath() + '/' + name, arguments,
                          environment);
    }
    // The same for any program: a path, or a name found on PATH.
    static Ran runProgram(const QString &program, const QStringList &arguments,
                          const QProcessEnvironment &environment = {})
    {
        QProcess p;
        if (!environment.isEmpty())
            p.setProcessEnvironment(environment);
        p.start(program, arguments);
        p.waitForFinished(300000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

    // Its standard output so far, line by line.
    QStringList lines()
    {
        m_output += QString::fromUtf8(process.readAllStandardOutput());
        return m_output.split('\n', Qt::SkipEmptyParts);
    }
    bool said(const QString &line) { return lines().contains(line); }
    // Whether it has ended, or ends within a minute, by itself with exit status 0.
    bool ends()
    {
        return (process.state() == QProcess::NotRunning || process.waitForFinished(60000)) &&
               process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    QProcess process;

private:
    QString m_output;
};
