#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class CVideoConv;
class FileListModel;

// The batch over the file list: visits the rows in order, converts those waiting (or
// cancelled before), shows each job's progress in its row and marks how the row ended.
// A batch runs inside the click that started it; the window keeps working because every
// job waits for its encoder in a local event loop.
class ConversionQueue : public QObject
{
    Q_OBJECT
public:
    // What a row's conversion needs from the window's controls, read anew for every row.
    struct Choices
    {
        std::function<QString()> extension;    // output extension, no leading dot
        std::function<QString()> parameters;   // the format's encoder options
        std::function<bool()> sameFolder;      // outputs beside their inputs
        std::function<QString()> outputFolder; // the chosen folder otherwise
    };

    ConversionQueue(FileListModel &list, Choices choices, QObject *parent = nullptr);
    ~ConversionQueue() override;

    // Runs the batch; true when at least one row was handed to a job.
    bool ConvertList(bool selectedOnly);
    // Asks the running batch to stop: the encoder is killed and no further row starts.
    void requestStop();

    // Rows may be written by job events only while this is set.
    bool IsConverting() const { return m_isConverting; }
    // A batch is still on the stack (a stopped one may be unwinding).
    bool isRunning() const { return m_running; }
    // The job of the row converted last; it stays until the next row starts.
    CVideoConv *currentJob() const { return cConvert.get(); }

    // Length of a Duration text in seconds: 0 without ":"; false when it cannot be read.
    static bool lengthInSeconds(const QString &duration, float *seconds);

private:
    void ConvertVideo(const QString &input, const QString &output, const QString &duration);
    void LocateCurrentRow();
    void finishRow(bool succeeded);
    void cConvert_Progress(qint16 percent);
    void cConvert_CurrentStatus(const QString &status);

    FileListModel &m_list;
    Choices m_choices;
    bool m_isConverting = false;
    bool m_stopRequested = false;
    bool m_running = false;
    QString m_currentFile;
    int m_currentRow = -1;
    std::unique_ptr<CVideoConv> cConvert;
};
