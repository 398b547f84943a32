#include "filelist/FileAdder.h"

#include "filelist/FileListModel.h"
#include "filelist/FolderListing.h"
#include "filelist/ProbedRow.h"
#include "filelist/SelectionList.h"
#include "services/MessageBox.h"

#include <QThread>

namespace {
const QString kRefusedWarning =
    QStringLiteral("Some files are not supported or already exist and will not be added");
const QString kMissingEncoder =
    QStringLiteral("The encoder ffmpeg was not found. Install it with: sudo apt install ffmpeg");
const QString kUnreadableNames =
    QStringLiteral("These files have names that are not valid UTF-8 and will not be added:\n");
} // namespace

const QString FileAdder::CancelAnswer = QStringLiteral("Cancel");

FileAdder::FileAdder(FileListModel &model, DialogService &dialogs, QObject *parent)
    : QObject(parent), m_model(model), m_dialogs(dialogs)
{
    m_pool.setMaxThreadCount(QThread::idealThreadCount());
}

// The run goes first: it waits for its probes, which use the pool.
FileAdder::~FileAdder() = default;

QVector<FileFilter> FileAdder::openFileFilters()
{
    // Patterns such as "*.mp4,*.mov", "m1v" or ".mpg" would match no video file; each
    // extension is its own "*.ext" pattern, so mp4, mov, m1v and mpg files show.
    const QVector<QPair<QString, QString>> table = {
        {QStringLiteral("Common Video Files"),
         QStringLiteral("*.wmv;*.asf;*.avi;*.mpg;*.mpe;*.mp2;*.mpeg;*.mp4;*.mov;*.dat;*.flv;*.rm;"
                        "*.rmvb;*.yuv;*.mkv;*.m4v;*.m1v;*.m2v;*.mpv2;*.mp2v;*.ts;*.tp;*.tpr;*.pva;"
                        "*.pss;*.divx")},
        {QStringLiteral("MPEG Files(.mpg,*.mpeg,*.mp2,*.mp4,*.mpe,*.m4v)"),
         QStringLiteral("*.mpg;*.mp2;*.mpeg;*.mp4;*.mpe;*.m4v;*.m1v;*.m2v;*.mpv2;*.mp2v;*.dat;*.ts;"
                        "*.tp;*.tpr;*.pva;*.pss")},
        {QStringLiteral("Windows Media Files(*.wmv,*.asf)"), QStringLiteral("*.wmv;*.asf")},
        {QStringLiteral("AVI Files(*.avi)"), QStringLiteral("*.avi")},
        {QStringLiteral("QuickTime Files-Ver2 or less(*.mov)"), QStringLiteral("*.mov")},
        {QStringLiteral("All Files(*.*)"), QStringLiteral("*.*")},
    };
    QVector<FileFilter> filters;
    for (const auto &[name, patterns] : table)
        filters.append({name, patterns.split(QLatin1Char(';'))});
    return filters;
}

qint16 FileAdder::AddFile2Grid(const QString &path)
{
    if (m_adding)
        return 0;
    m_busy = true;
    updateAdding();
    AddRun run(m_model, m_pool, {path}, appender());
    connect(&run, &AddRun::failed, this, &FileAdder::fail);
    run.runHere();
    report(run, false, {});
    m_busy = false;
    startNext(); // what arrived while its messages were open
    return run.added() > 0 ? 1 : 0;
}

void FileAdder::AddFileList(const QString &selection)
{
    QString chosen = selection;
    if (chosen.isEmpty()) {
        chosen = ask([this] {
            return ShowOpenFileDialog(openFileFilters(),
                                      QStringLiteral("Select one or more video files"), true);
        });
        if (chosen.isEmpty() || chosen == CancelAnswer) {
            updateAdding();
            return;
        }
    }
    enqueue({SelectionList::toPaths(chosen), QString(), true});
}

QString FileAdder::ShowOpenFileDialog(const QVector<FileFilter> &filters, const QString &title,
                                      bool multiSelect)
{
    const QVector<FileFilter> allFiles = {
        {QStringLiteral("All Files (*.*)"), {QStringLiteral("*.*")}}};
    const QStringList paths =
        m_dialogs.openFiles(title, filters.isEmpty() ? allFiles : filters, multiSelect);
    return paths.isEmpty() ? CancelAnswer : SelectionList::fromPaths(paths);
}

void FileAdder::AddFolder()
{
    const QString folder =
        ask([this] { return BrowseForFolder(QStringLiteral("Select folder to add"), false); });
    if (folder.isEmpty()) {
        updateAdding();
        return;
    }
    enqueue({{}, folder, true});
}

void FileAdder::addFolderAt(const QString &folder)
{
    enqueue({{}, folder, true});
}

// False when the folder has nothing to add, which has been said.
bool FileAdder::addFolderFiles(const QString &folder)
{
    const FolderListing::Files files = FolderListing::filesOf(folder);
    if (files.paths.isEmpty() && files.unreadable.isEmpty()) {
        MessageBox::show(QStringLiteral("Selected Folder is empty."), MessageIcon::Exclamation);
        return false;
    }
    startRun(files.paths, true, files.unreadable);
    return true;
}

QString FileAdder::BrowseForFolder(const QString &title, bool newStyle)
{
    return m_dialogs.chooseFolder(title, newStyle);
}

void FileAdder::addDroppedFiles(const QStringList &paths)
{
    enqueue({paths, QString(), false});
}

void FileAdder::stopAdding()
{
    ++m_stops;
    m_waiting.clear();
    // A closing message still open ends by itself; nothing starts after it.
    if (m_inRun) {
        m_run->cancel();
        m_inRun = false;
        m_busy = false;
    }
    updateAdding();
}

// The dialog counts as adding, so a close waits for it; a stop meanwhile drops its answer.
QString FileAdder::ask(const std::function<QString()> &dialog)
{
    const int stops = m_stops;
    ++m_dialogsOpen;
    updateAdding();
    const QString answer = dialog();
    --m_dialogsOpen;
    return stops == m_stops ? answer : QString();
}

void FileAdder::enqueue(const Request &request)
{
    m_waiting.append(request);
    startNext();
}

void FileAdder::startNext()
{
    while (!m_busy && !m_waiting.isEmpty()) {
        const Request request = m_waiting.takeFirst();
        m_busy = true;
        updateAdding();
        if (request.folder.isEmpty()) {
            startRun(request.paths, request.warnOnRefusal, {});
            return;
        }
        if (addFolderFiles(request.folder))
            return;
        m_busy = false;
    }
    updateAdding();
}

void FileAdder::updateAdding()
{
    const bool adding = m_busy || m_dialogsOpen > 0 || !m_waiting.isEmpty();
    if (adding == m_adding)
        return;
    m_adding = adding;
    emit addingChanged(adding);
}

void FileAdder::startRun(const QStringList &paths, bool warnOnRefusal,
                         const QStringList &unreadable)
{
    m_warnOnRefusal = warnOnRefusal;
    m_unreadableListed = unreadable;
    m_run = std::make_unique<AddRun>(m_model, m_pool, paths, appender());
    connect(m_run.get(), &AddRun::progress, this, &FileAdder::addingProgress);
    connect(m_run.get(), &AddRun::failed, this, &FileAdder::fail);
    connect(m_run.get(), &AddRun::finished, this, &FileAdder::runFinished);
    m_inRun = true;
    m_run->start();
}

void FileAdder::runFinished()
{
    m_inRun = false;
    report(*m_run, m_warnOnRefusal, m_unreadableListed);
    m_busy = false;
    startNext();
}

void FileAdder::report(const AddRun &run, bool warnOnRefusal, QStringList unreadable)
{
    if (run.encoderMissing())
        MessageBox::show(kMissingEncoder, MessageIcon::Critical);
    unreadable += run.unreadableNames();
    if (!unreadable.isEmpty())
        MessageBox::show(kUnreadableNames + unreadable.join(QLatin1Char('\n')),
                         MessageIcon::Exclamation);
    if (warnOnRefusal && run.anyRefused())
        MessageBox::show(kRefusedWarning, MessageIcon::Exclamation);
}

AddRun::Append FileAdder::appender()
{
    return [this](const QString &path, const FileProbe::Result &probe, FileListError *error) {
        return appendRow(path, probe, error);
    };
}

bool FileAdder::appendRow(const QString &path, const FileProbe::Result &probe, FileListError *error)
{
    if (!ProbedRow::append(m_model, path, probe, error))
        return false;
    emit selectAllCleared();
    return true;
}

void FileAdder::fail(const FileListError &error)
{
    MessageBox::show(QStringLiteral("An error occured while Adding File\r") +
                         QString::number(error.number) + QLatin1Char(':') + error.description,
                     MessageIcon::Critical);
}
