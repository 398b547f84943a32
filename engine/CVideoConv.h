#pragma once

#include "engine/ConversionOutcome.h"
#include "engine/JobState.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class DOSOutputs;

// Converts one input file with the encoder, reporting progress and status as it goes (as the
// Status texts and, typed, as job states), and probes whether the encoder can read a file. A
// conversion runs without blocking: start() returns at once and finished() tells how it ended. It
// never shows a message.
class CVideoConv : public QObject
{
    Q_OBJECT
public:
    explicit CVideoConv(QObject *parent = nullptr);
    ~CVideoConv() override; // kills an encoder that still runs

    QString InputFile() const;
    void setInputFile(const QString &path);
    QString OutputFile() const;
    void setOutputFile(const QString &path);
    float FileTimeLength() const;
    void setFileTimeLength(float seconds); // zero or less: length unknown
    QString Parametrs() const;
    void setParametrs(const QString &options);

    // The one-line command text, for display, and the argument list that is executed.
    QString commandLineText() const;
    QStringList commandArguments() const;

    void start();
    void StopConversion();
    // Waits in a local event loop for the encoder to say whether it can read the file.
    bool IsFileSupported(const QString &path);

signals:
    void Progress(qint16 percent);
    void CurrentStatus(const QString &status);
    void stateChanged(const JobState &state);
    void finished(const ConversionOutcome &outcome);

private:
    DOSOutputs &objDOS();
    void objDOS_ReceiveOutputs(const QString &chunk);
    void objDOS_commandFinished();
    void endCancelled();
    void fail(ConversionOutcome outcome);
    // The paths the encoder echoes: never taken for its verdict.
    QStringList paths() const;

    QString m_inputFile;
    QString m_outputFile;
    float m_fileTimeLength = 0;
    QString m_parametrs;
    bool m_converting = false;
    bool m_stopRequested = false;
    bool m_encodingStarted = false;
    bool m_inputUnreadable = false;
    std::unique_ptr<DOSOutputs> m_objDOS;
};
