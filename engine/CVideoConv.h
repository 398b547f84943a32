#pragma once

#include <QObject>
#include <QString>

#include <memory>

class DOSOutputs;

// Converts one input file with the encoder, reporting progress and status as it goes,
// and probes whether the encoder can read a file.
class CVideoConv : public QObject
{
    Q_OBJECT
public:
    explicit CVideoConv(QObject *parent = nullptr);
    ~CVideoConv() override;

    QString InputFile() const;
    void setInputFile(const QString &path);
    QString OutputFile() const;
    void setOutputFile(const QString &path);
    float FileTimeLength() const;
    void setFileTimeLength(float seconds); // zero or less: length unknown
    QString Parametrs() const;
    void setParametrs(const QString &options);

    // The documented one-line command text, and the argument list that is really executed.
    QString commandLineText() const;
    QStringList commandArguments() const;

    void StartConversion();
    void StopConversion();
    bool IsFileSupported(const QString &path);

    // After StartConversion: true when no stop was asked and the encoder exited with 0.
    bool succeeded() const;

signals:
    void Progress(qint16 percent);
    void CurrentStatus(const QString &status);

private:
    DOSOutputs &objDOS();
    void objDOS_ReceiveOutputs(const QString &chunk);

    struct Private;
    std::unique_ptr<Private> d;
};
