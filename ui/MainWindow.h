#pragma once

#include "batch/BatchNotice.h"
#include "batch/RowEnding.h"
#include "ui/WindowServices.h"

#include <QPoint>
#include <QStringList>
#include <QWidget>

#include <memory>

class AboutPanel;
class ConversionQueue;
class EncoderInventory;
class FileAdder;
class FileListModel;
class FormatPanel;
class FramePanel;
class InstanceMarker;
class ListJournal;
class ListOperations;
class PanelAnimator;
class QPushButton;
class RowLogDialog;
class SettingsPersistence;
class StepsFrame;

// The program's one window: a borderless main frame with the three steps, and the format and
// About panels that slide up over it.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    static QString versionText(int major, int minor, int revision);

    explicit MainWindow(const WindowServices &services, QWidget *parent = nullptr);
    ~MainWindow() override;

    FileListModel *fileList() const { return m_fileList.get(); }
    StepsFrame *steps() const { return m_steps; }
    FormatPanel *formats() const { return m_formats; }
    AboutPanel *about() const { return m_about; }
    PanelAnimator *animator() const { return m_animator.get(); }
    FramePanel *frMain() const { return m_frMain; }
    FramePanel *frFormats() const { return m_frFormats; }
    FramePanel *frAbout() const { return m_frAbout; }
    FileAdder *adder() const { return m_adder.get(); }
    ConversionQueue *queue() const { return m_queue.get(); }
    bool IsConverting() const;

    // Adds files and folders handed in from outside (the command line, another copy of the
    // program), a folder as Add Folder does. Paths that arrive during an add wait behind it.
    void openPaths(const QStringList &paths);
    // When a run that journaled its list ended abnormally, asks whether to take its rows back.
    void offerRestore();
    // Tells the desktop how a batch ended when the window is not the active one.
    void notifyBatchEnded(int converted, int failed);

signals:
    // A close has begun; it completes once a running add has ended. No message should be
    // shown from now on.
    void closing();
    // The window is about to close for good, whatever route closed it.
    void unloading();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void InitLayout();
    void ApplyColorScheme();
    void Form_QueryUnload();
    void wireSteps();

    void EnableControls(bool enabled);
    void cmdConvert_Click();
    void cmdConvertSelected_Click();
    void startOrStopBatch(QPushButton *clicked, QPushButton *other, bool selectedOnly);
    void queue_batchFinished(bool converted);
    void queue_rowEnded(quint64 key, const RowEnding &ending);
    void queue_batchNotice(const BatchNotice &notice);
    void showOverallProgress();
    void closeWhenIdle();
    void showAddProgress(int done, int total);

    void cmdClose_Click();
    void cmdChangeFormat_Click();
    void cmdAbout_Click();
    void MyButton1_Click();
    void cmdBrowse_Click();
    void Grid_DblClick();
    void cmdPlay_Click();
    void Grid_logRequested(int row);
    // What the chosen format does with each stream of the row's file.
    QString streamPlanTip(int row) const;

    WindowServices m_services;
    std::unique_ptr<InstanceMarker> m_marker;
    std::unique_ptr<FileListModel> m_fileList;
    std::unique_ptr<ListJournal> m_journal;
    std::unique_ptr<FileAdder> m_adder;
    std::unique_ptr<ListOperations> m_listOperations;
    std::unique_ptr<PanelAnimator> m_animator;
    std::unique_ptr<ConversionQueue> m_queue;
    std::unique_ptr<SettingsPersistence> m_settings;

    FramePanel *m_frMain = nullptr;
    StepsFrame *m_steps = nullptr;
    FramePanel *m_frFormats = nullptr;
    FormatPanel *m_formats = nullptr;
    FramePanel *m_frAbout = nullptr;
    AboutPanel *m_about = nullptr;
    EncoderInventory *m_inventory = nullptr;
    QPushButton *m_cmdClose = nullptr;
    QPushButton *m_cmdMinimize = nullptr;
    QPushButton *m_myButton1 = nullptr;
    QPushButton *m_cmdAbout = nullptr;

    RowLogDialog *m_logDialog = nullptr;
    QPushButton *m_batchButton = nullptr; // the convert button that started the batch
    bool m_closePending = false;
    bool m_closing = false;
    QPoint m_dragOffset;
    bool m_draggingByHand = false;
};
