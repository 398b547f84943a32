#include "ui/MainWindow.h"

#include "batch/BatchChoices.h"
#include "batch/ConversionQueue.h"
#include "batch/StreamPlan.h"
#include "engine/EncoderInventory.h"
#include "engine/EncoderPath.h"
#include "engine/ShutDownWindows.h"
#include "filelist/FileAdder.h"
#include "filelist/FileListModel.h"
#include "filelist/ListJournal.h"
#include "filelist/ListOperations.h"
#include "filelist/SelectionList.h"
#include "services/BatchEndNotice.h"
#include "services/DataFiles.h"
#include "services/DialogService.h"
#include "services/MessageBox.h"
#include "services/ShellOpener.h"
#include "services/SleepInhibitor.h"
#include "services/Version.h"
#include "ui/AboutPanel.h"
#include "ui/FileGrid.h"
#include "ui/FormatPanel.h"
#include "ui/FramePanel.h"
#include "ui/InstanceMarker.h"
#include "ui/PanelAnimator.h"
#include "ui/RowLogDialog.h"
#include "ui/SchemeStyle.h"
#include "ui/SettingsPersistence.h"
#include "ui/StepsFrame.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QWindow>

namespace {
// Design sizes, in twips.
const double kMainWidth = 10920, kMainHeight = 8655;
const double kAboutWidth = 7245, kAboutHeight = 3690;
const double kFormatsWidth = 8280, kFormatsHeight = 4350;

// The window's four-colour scheme.
const QColor SchemeColors[4] = {QColor(255, 192, 255), QColor(255, 128, 255), QColor(128, 0, 128),
                                QColor(64, 0, 64)};

QPushButton *titleButton(const QString &caption, const char *name, const QString &accessible,
                         int left, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(accessible);
    button->setGeometry(left, 2, 26, 20);
    return button;
}
} // namespace

QString MainWindow::versionText(int major, int minor, int revision)
{
    return QStringLiteral("%1.%2.0.%3").arg(major).arg(minor).arg(revision);
}

MainWindow::MainWindow(const WindowServices &services, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_services(services)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Reelforge"));
    Form_Load();
}

MainWindow::~MainWindow() = default;

void MainWindow::Form_Load()
{
    m_marker = std::make_unique<InstanceMarker>();
    InitLayout();
    m_formats->LoadPresets();
    m_formats->LoadCodecs();
    m_settings->LoadSettings();
    // What the installed encoder offers is read in the background; the panel greys the rest.
    // A child created after the panels, it outlives them when the window goes.
    m_inventory = new EncoderInventory(this);
    m_formats->setInventory(m_inventory);
    m_inventory->start(EncoderPath::program());
}

void MainWindow::InitLayout()
{
    m_frMain = new FramePanel(QStringLiteral("Reelforge"), true, this);
    m_frMain->setObjectName(QStringLiteral("frMain"));
    m_frMain->setGeometry(Twips::rect(0, 0, kMainWidth, kMainHeight));
    m_frMain->installEventFilter(this);
    setFixedSize(m_frMain->size());

    const int right = m_frMain->width();
    m_myButton1 = titleButton(QStringLiteral("?"), "MyButton1", QStringLiteral("Help"), right - 118,
                              m_frMain);
    m_cmdAbout =
        titleButton(QStringLiteral("!"), "cmdAbout", QStringLiteral("About"), right - 90, m_frMain);
    m_cmdMinimize = titleButton(QString(2, QChar(0x0640)), "cmdMinimize",
                                QStringLiteral("Minimize"), right - 62, m_frMain);
    m_cmdClose =
        titleButton(QStringLiteral("X"), "cmdClose", QStringLiteral("Close"), right - 34, m_frMain);

    m_fileList = std::make_unique<FileListModel>();
    if (!m_services.journalFolder.isEmpty())
        m_journal = std::make_unique<ListJournal>(*m_fileList, m_services.journalFolder);
    m_steps = new StepsFrame(m_fileList.get(), m_frMain);
    m_steps->setGeometry(8, FramePanel::kHeaderHeight + 6, right - 16,
                         m_frMain->height() - FramePanel::kHeaderHeight - 14);

    // The panels are the window's own children, above the main frame and clipped by the window.
    m_animator = std::make_unique<PanelAnimator>(m_frMain, float(kMainHeight));
    const double parkedLeft = (kMainWidth - kAboutWidth) - (kMainWidth - kAboutWidth) / 2;
    m_frFormats = new FramePanel(QStringLiteral("Output Video Formats"), true, this);
    m_frFormats->setObjectName(QStringLiteral("frFormats"));
    m_frFormats->setGeometry(Twips::rect(parkedLeft, kMainHeight, kFormatsWidth, kFormatsHeight));
    m_formats = new FormatPanel(m_frFormats);
    m_formats->setDialogs(m_services.dialogs);
    // The panel lays itself out below the frame's header.
    m_formats->setGeometry(m_frFormats->rect().adjusted(1, 0, -1, -1));

    m_frAbout = new FramePanel(QStringLiteral("About"), true, this);
    m_frAbout->setObjectName(QStringLiteral("frAbout"));
    m_frAbout->setGeometry(Twips::rect(parkedLeft, kMainHeight, kAboutWidth, kAboutHeight));
    m_about = new AboutPanel(m_frAbout);
    m_about->setGeometry(m_frAbout->contentsArea());
    m_animator->park(m_frFormats);
    m_animator->park(m_frAbout);
    m_frFormats->raise();
    m_frAbout->raise();

    ApplyColorScheme();
    m_about->setVersionText(versionText(Version::Major, Version::Minor, Version::Revision));
    wireSteps();
}

void MainWindow::ApplyColorScheme()
{
    // The style goes with the window, after every widget that uses it.
    auto *scheme = new SchemeStyle(SchemeColors[0], SchemeColors[2], SchemeColors[3]);
    scheme->setParent(this);
    const QList<QWidget *> controls = findChildren<QWidget *>();
    for (QWidget *control : controls) {
        QPalette palette = control->palette();
        if (auto *frame = qobject_cast<FramePanel *>(control)) {
            if (frame->objectName() == QLatin1String("MyFrame1"))
                continue;
            frame->BodyColorBottomLeft = SchemeColors[0];
            frame->BodyColorBottomRight = SchemeColors[1];
            frame->BodyColorTopLeft = SchemeColors[0];
            frame->BorderColor = SchemeColors[2];
            frame->ForeColor = SchemeColors[3];
            frame->HeaderColorBottomLeft = SchemeColors[2];
            frame->HeaderColorTopLeft = SchemeColors[1];
            frame->update();
        } else if (qobject_cast<QPushButton *>(control)) {
            control->setStyle(scheme);
            control->setAttribute(Qt::WA_Hover); // its border darkens under the mouse
        } else if (qobject_cast<QLineEdit *>(control) || qobject_cast<QComboBox *>(control)) {
            palette.setColor(QPalette::Base, SchemeColors[0]);
            palette.setColor(QPalette::Button, SchemeColors[0]);
            control->setPalette(palette);
        } else if (auto *grid = qobject_cast<QTableView *>(control)) {
            // Rows white with black text, headers in the light colour, highlighted rows dark.
            palette.setColor(QPalette::Window, SchemeColors[0]);
            palette.setColor(QPalette::Base, Qt::white);
            palette.setColor(QPalette::Text, Qt::black);
            palette.setColor(QPalette::Highlight, SchemeColors[2]);
            palette.setColor(QPalette::HighlightedText, Qt::white);
            grid->setPalette(palette);
            grid->setStyle(scheme);
            grid->horizontalHeader()->setStyle(scheme);
        } else if (qobject_cast<QLabel *>(control)) {
            const QString name = control->objectName();
            if (name == QLatin1String("lblWebSite") || name == QLatin1String("lblFFmpeg"))
                continue;
            palette.setColor(QPalette::WindowText, SchemeColors[3]);
            control->setPalette(palette);
        } else if (auto *line = qobject_cast<QFrame *>(control)) {
            if (line->frameShape() == QFrame::HLine || line->frameShape() == QFrame::VLine) {
                palette.setColor(QPalette::WindowText, SchemeColors[3]);
                line->setPalette(palette);
            }
        }
    }
}

void MainWindow::wireSteps()
{
    m_adder = std::make_unique<FileAdder>(*m_fileList, *m_services.dialogs);
    m_listOperations = std::make_unique<ListOperations>(*m_fileList, *m_services.shell);
    StepsFrame *steps = m_steps;

    connect(m_cmdClose, &QPushButton::clicked, this, &MainWindow::cmdClose_Click);
    connect(m_cmdMinimize, &QPushButton::clicked, this, &QWidget::showMinimized);
    connect(m_myButton1, &QPushButton::clicked, this, &MainWindow::MyButton1_Click);
    connect(m_cmdAbout, &QPushButton::clicked, this, &MainWindow::cmdAbout_Click);
    connect(m_about, &AboutPanel::closeRequested, this,
            [this] { m_animator->AnimateFrame(QStringLiteral("EDIT_FRAME_DOWN")); });
    connect(m_about, &AboutPanel::linkActivated, this,
            [this](const QString &address) { m_services.shell->open(address); });

    connect(steps->cmdAddVideoFile, &QPushButton::clicked, this,
            [this] { m_adder->AddFileList(); });
    connect(steps->cmdAddFolder, &QPushButton::clicked, this, [this] { m_adder->AddFolder(); });
    connect(steps->Grid, &FileGrid::filesDropped, m_adder.get(), &FileAdder::addDroppedFiles);
    connect(steps->cmdRemove, &QPushButton::clicked, m_listOperations.get(),
            &ListOperations::Remove);
    connect(steps->cmdPlay, &QPushButton::clicked, this, &MainWindow::cmdPlay_Click);
    connect(steps->Grid, &QAbstractItemView::doubleClicked, this, &MainWindow::Grid_DblClick);
    connect(steps->Grid, &FileGrid::logRequested, this, &MainWindow::Grid_logRequested);
    steps->Grid->setRowTips([this](int row) { return streamPlanTip(row); });
    // Only the user's own change of the box ticks or clears every row.
    connect(steps->chkSelectAll, &QCheckBox::clicked, m_listOperations.get(),
            &ListOperations::SelectAll);
    const auto clearSelectAll = [steps] { steps->chkSelectAll->setChecked(false); };
    connect(m_adder.get(), &FileAdder::selectAllCleared, this, clearSelectAll);
    connect(m_listOperations.get(), &ListOperations::selectAllCleared, this, clearSelectAll);

    connect(steps->cmdChangeFormat, &QPushButton::clicked, this,
            &MainWindow::cmdChangeFormat_Click);
    connect(m_formats, &FormatPanel::formatSummaryChanged, steps->lblFormat, &QLabel::setText);
    connect(m_formats, &FormatPanel::closeRequested, this,
            [this] { m_animator->AnimateFrame(QStringLiteral("EDIT_FRAME_DOWN")); });
    connect(steps->cmdBrowse, &QPushButton::clicked, this, &MainWindow::cmdBrowse_Click);
    m_settings =
        std::make_unique<SettingsPersistence>(*m_steps, *m_formats, m_services.settingsFile);
    connect(m_formats, &FormatPanel::restoreDefaultsRequested, this,
            [this] { m_settings->RestoreDefaults(); });

    m_queue = std::make_unique<ConversionQueue>(*m_fileList);
    connect(m_queue.get(), &ConversionQueue::batchFinished, this, &MainWindow::queue_batchFinished);
    connect(m_queue.get(), &ConversionQueue::rowEnded, this, &MainWindow::queue_rowEnded);
    connect(m_queue.get(), &ConversionQueue::batchNotice, this, &MainWindow::queue_batchNotice);
    connect(m_queue.get(), &ConversionQueue::progressChanged, this,
            &MainWindow::showOverallProgress);
    connect(steps->cmdConvert, &QPushButton::clicked, this, &MainWindow::cmdConvert_Click);
    connect(steps->cmdConvertSelected, &QPushButton::clicked, this,
            &MainWindow::cmdConvertSelected_Click);
    connect(m_adder.get(), &FileAdder::addingChanged, this, &MainWindow::closeWhenIdle);
    connect(m_adder.get(), &FileAdder::addingProgress, this, &MainWindow::showAddProgress);
    connect(m_adder.get(), &FileAdder::addingChanged, this, [steps](bool adding) {
        if (adding)
            return; // the line shows with the first count
        steps->lblAddProgress->hide();
        steps->cmdCancelAdd->hide();
    });
    connect(steps->cmdCancelAdd, &QPushButton::clicked, m_adder.get(), &FileAdder::stopAdding);
}

bool MainWindow::IsConverting() const
{
    return m_queue->IsConverting();
}

void MainWindow::EnableControls(bool enabled)
{
    StepsFrame *steps = m_steps;
    steps->cmdChangeFormat->setEnabled(enabled);
    steps->cmdRemove->setEnabled(enabled);
    steps->cmdPlay->setEnabled(enabled);
    // Browse stays off while outputs go beside their inputs.
    steps->cmdBrowse->setEnabled(enabled && steps->optOtherFolder->isChecked());
    steps->optSameFolder->setEnabled(enabled);
    steps->optOtherFolder->setEnabled(enabled);
    steps->cmbWhenExists->setEnabled(enabled);
    steps->chkKeepDate->setEnabled(enabled);
    steps->chkSelectAll->setEnabled(enabled);
    steps->cmdAddFolder->setEnabled(enabled);
    steps->cmdAddVideoFile->setEnabled(enabled);
    m_cmdAbout->setEnabled(enabled);
}

void MainWindow::cmdConvert_Click()
{
    startOrStopBatch(m_steps->cmdConvert, m_steps->cmdConvertSelected, false);
}

void MainWindow::cmdConvertSelected_Click()
{
    startOrStopBatch(m_steps->cmdConvertSelected, m_steps->cmdConvert, true);
}

void MainWindow::startOrStopBatch(QPushButton *clicked, QPushButton *other, bool selectedOnly)
{
    const QString missing = m_formats->missingEncoder();
    if (!missing.isEmpty() && !m_queue->IsConverting()) {
        MessageBox::show(FormatPanel::cannotBeMade(missing), MessageIcon::Exclamation);
        return;
    }
    if (m_fileList->rowCount() == 0) {
        MessageBox::show(QStringLiteral("The list is empty, Please add Video files from step 1"),
                         MessageIcon::Information);
        return;
    }
    if (m_queue->IsConverting()) {
        // The controls come back once the batch has really ended.
        if (clicked == m_batchButton)
            m_queue->requestStop();
        return;
    }
    if (m_adder->isAdding())
        return;
    m_batchButton = clicked;
    clicked->setText(QStringLiteral("Stop"));
    clicked->setAccessibleName(clicked->text());
    EnableControls(false);
    other->setEnabled(false);
    BatchChoices choices;
    const CustomOptions::Result options = m_formats->buildParameters();
    choices.parameters = options.options;
    if (!options.ok())
        choices.optionsProblem = options.message();
    choices.extension = m_formats->outputExtension();
    choices.sameFolder = m_steps->optSameFolder->isChecked();
    choices.outputFolder = m_steps->txtOutPath->text();
    choices.copyWhenPossible = m_formats->chkCopyWhenPossible()->isChecked();
    choices.skipExisting = m_steps->cmbWhenExists->currentIndex() == 1;
    choices.keepDate = m_steps->chkKeepDate->isChecked();
    m_services.sleepInhibitor->hold();
    m_queue->start(choices, selectedOnly, m_steps->spnSimultaneous->value());
}

void MainWindow::queue_batchFinished(bool converted)
{
    m_services.sleepInhibitor->release();
    if (!m_closing)
        notifyBatchEnded(m_queue->progress().filesConverted(), m_queue->progress().filesFailed());
    if (converted && m_steps->chkShutdown->isChecked() && !m_closing)
        ShutDownWindows(*m_services.shutdown, 8);
    StepsFrame *steps = m_steps;
    steps->cmdConvert->setText(QStringLiteral("Convert All"));
    steps->cmdConvertSelected->setText(QStringLiteral("Convert Selected"));
    for (QPushButton *button : {steps->cmdConvert, steps->cmdConvertSelected}) {
        button->setAccessibleName(button->text());
        button->setEnabled(true);
    }
    EnableControls(true);
    m_batchButton = nullptr;
    closeWhenIdle();
}

// A row that failed says why at once; one that a folder-wide problem ended is told by that.
void MainWindow::queue_rowEnded(quint64, const RowEnding &ending)
{
    if (ending.reason.isEmpty())
        return;
    MessageBox::show(QStringLiteral("Error converting file: ") +
                         QFileInfo(ending.input).fileName() + QStringLiteral("\r\n") +
                         ending.reason,
                     MessageIcon::Critical);
}

void MainWindow::queue_batchNotice(const BatchNotice &notice)
{
    MessageBox::show(notice.reason, MessageIcon::Critical);
}

void MainWindow::showOverallProgress()
{
    const BatchProgress &progress = m_queue->progress();
    const bool running = m_queue->IsConverting();
    m_steps->lblOverall->setText(running ? progress.summary() : QString());
    // The percent in the title shows on the taskbar while the window is minimized.
    setWindowTitle(running ? QStringLiteral("%1 % · Reelforge").arg(progress.percent())
                           : QStringLiteral("Reelforge"));
}

void MainWindow::closeWhenIdle()
{
    // A close waits only for an add, whose probe waits in a local event loop.
    if (m_closePending && !m_adder->isAdding())
        QTimer::singleShot(0, this, &QWidget::close);
}

void MainWindow::openPaths(const QStringList &paths)
{
    if (m_closing)
        return;
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    // Each folder is an add of its own; neighbouring files are one add, warned about once, as
    // a choice in the file dialog.
    QStringList files;
    const auto addFiles = [this, &files] {
        if (!files.isEmpty())
            m_adder->AddFileList(SelectionList::fromPaths(files));
        files.clear();
    };
    for (const QString &path : paths) {
        if (!QFileInfo(path).isDir()) {
            files << path;
            continue;
        }
        addFiles();
        m_adder->addFolderAt(path);
    }
    addFiles();
}

void MainWindow::offerRestore()
{
    if (!m_journal || m_journal->leftOver().isEmpty())
        return;
    const int count = int(m_journal->leftOver().size());
    const bool restore = m_services.dialogs->ask(
        QStringLiteral("Restore the file list"),
        QStringLiteral("Reelforge did not close normally last time. Bring back its list of %1? "
                       "Files that were being converted will wait to be converted again.")
            .arg(count == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(count)));
    if (m_closing)
        return; // closed while asking: the next start asks again
    if (restore) {
        QVector<FileListRecord> rows = m_fileList->records() + m_journal->leftOver();
        rows.resize(qMin(rows.size(), qsizetype(FileListModel::MaxRows)));
        m_fileList->rebuild(rows, nullptr);
    }
    m_journal->dropLeftOver();
}

void MainWindow::notifyBatchEnded(int converted, int failed)
{
    if (!isActiveWindow())
        BatchEndNotice::send(*m_services.notifier, converted, failed);
}

void MainWindow::showAddProgress(int done, int total)
{
    m_steps->lblAddProgress->setText(QStringLiteral("Adding %1 of %2\u2026").arg(done).arg(total));
    m_steps->lblAddProgress->show();
    m_steps->cmdCancelAdd->show();
}

void MainWindow::cmdClose_Click()
{
    if (IsConverting()) {
        MessageBox::show(QStringLiteral("Please Stop Conversion first."), MessageIcon::Exclamation);
        return;
    }
    close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    emit closing();
    // An add in the background ends here and now; one in a dialog or showing its messages ends
    // once they are closed, which is done here.
    m_adder->stopAdding();
    for (QDialog *dialog : findChildren<QDialog *>())
        dialog->reject();
    // Closed by another route mid-batch: the encoders are killed, and the close goes on.
    m_closing = true;
    m_queue->requestStop();
    m_services.sleepInhibitor->release();
    if (m_adder->isAdding()) {
        m_closePending = true;
        event->ignore();
        return;
    }
    m_closePending = false;
    Form_QueryUnload();
    event->accept();
}

void MainWindow::Form_QueryUnload()
{
    m_settings->SaveSettings();
    // A normal end: the next start begins with an empty list.
    if (m_journal)
        m_journal->close();
    emit unloading();
}

void MainWindow::cmdChangeFormat_Click()
{
    m_animator->raise(m_frFormats);
}

void MainWindow::cmdAbout_Click()
{
    m_animator->raise(m_frAbout);
}

void MainWindow::MyButton1_Click()
{
    m_services.shell->open(DataFiles::path(QStringLiteral("Help.html")));
}

void MainWindow::cmdBrowse_Click()
{
    const QString folder =
        m_services.dialogs->chooseFolder(QStringLiteral("Select folder to add"), true);
    if (!folder.isEmpty())
        m_steps->txtOutPath->setText(folder);
}

void MainWindow::cmdPlay_Click()
{
    m_listOperations->Play(m_steps->Grid->selectedRowNumbers(), m_steps->Grid->activeRow());
}

void MainWindow::Grid_logRequested(int row)
{
    if (!m_logDialog)
        m_logDialog = new RowLogDialog(this);
    m_logDialog->showLog(QFileInfo(m_fileList->record(row).FilePath).fileName(),
                         m_fileList->log(row));
}

void MainWindow::Grid_DblClick()
{
    if (m_steps->cmdPlay->isEnabled())
        cmdPlay_Click();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_frMain)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        // The window manager moves the window as by a title bar; where it cannot, we do.
        QWindow *handle = window()->windowHandle();
        m_draggingByHand = !(handle && handle->startSystemMove());
        m_dragOffset = static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - pos();
        return true;
    }
    case QEvent::MouseMove:
        if (m_draggingByHand)
            move(static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - m_dragOffset);
        return m_draggingByHand;
    case QEvent::MouseButtonRelease:
        m_draggingByHand = false;
        return false;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

QString MainWindow::streamPlanTip(int row) const
{
    const CustomOptions::Result options = m_formats->buildParameters();
    if (!options.ok() || row >= m_fileList->rowCount())
        return QString();
    return StreamPlan::make(m_fileList->record(row).streams, options.options,
                            m_formats->outputExtension(),
                            m_formats->chkCopyWhenPossible()->isChecked())
        .lines()
        .join(QLatin1Char('\n'));
}
