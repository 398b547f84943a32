#include "FileAdder.h"

#include "FileListModel.h"
#include "FolderListing.h"
#include "MessageBox.h"
#include "SelectionList.h"

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
const QColor FileAdder::UnknownFormatColor = QColor(220, 10, 10);

FileAdder::FileAdder(FileListModel &model, DialogService &dialogs, QObject *parent)
    : QObject(parent), m_model(model), m_dialogs(dialogs)
{
    m_pool.setMaxThreadCount(QThread::idealThreadCount());
}

// The run goes first: it waits for its probes, which use the pool.
FileAdder::~FileAdder() = default;

QVector<FileFilter> FileAdder::openFileFilters()
{
    // The original lists wrote "*.mp4,*.mov", "m1v" and ".mpg", which match no video file;
    // each extension is its own "*.ext" pattern here, so mp4, mov, m1v and mpg files show.
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
    if (!begin())
        return 0;
    AddRun run(m_model, m_pool, {path}, appender());
    connect(&run, &AddRun::failed, this, &FileAdder::fail);
    run.runHere();
    report(run, false, {});
    end();
    return run.added() > 0 ? 1 : 0;
}

void FileAdder::AddFileList(const QString &selection)
{
    if (!begin())
        return;
    QString chosen = selection;
    if (chosen.isEmpty()) {
        chosen = ShowOpenFileDialog(openFileFilters(),
                                    QStringLiteral("Select one or more video files"), true);
        if (chosen == CancelAnswer || m_stopRequested) {
            end();
            return;
        }
    }
    startRun(SelectionList::toPaths(chosen), true, {});
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
    if (!begin())
        return;
    const QString folder = BrowseForFolder(QStringLiteral("Select folder to add"), false);
    if (folder.isEmpty() || m_stopRequested) {
        end();
        return;
    }
    addFolderFiles(folder);
}

void FileAdder::addFolderAt(const QString &folder)
{
    if (begin())
        addFolderFiles(folder);
}

void FileAdder::addFolderFiles(const QString &folder)
{
    QStringList unreadable;
    const QStringList names = FolderListing::ListFolderFiles(folder, &unreadable);
    if (names.isEmpty() && unreadable.isEmpty()) {
        MessageBox::show(QStringLiteral("Selected Folder is empty."), MessageIcon::Exclamation);
        end();
        return;
    }
    const auto inFolder = [&folder](const QStringList &some) {
        return some.isEmpty() ? QStringList()
                              : SelectionList::toPaths(SelectionList::fromFolder(folder, some));
    };
    startRun(inFolder(names), true, inFolder(unreadable));
}

QString FileAdder::BrowseForFolder(const QString &title, bool newStyle)
{
    return m_dialogs.chooseFolder(title, newStyle);
}

void FileAdder::addDroppedFiles(const QStringList &paths)
{
    if (begin())
        startRun(paths, false, {});
}

void FileAdder::stopAdding()
{
    if (!m_adding)
        return;
    if (!m_inRun) {
        m_stopRequested = true; // a dialog or a closing message is still open
        return;
    }
    m_run->cancel();
    m_inRun = false;
    end();
}

bool FileAdder::begin()
{
    if (m_adding)
        return false;
    m_adding = true;
    m_stopRequested = false;
    emit addingChanged(true);
    return true;
}

void FileAdder::end()
{
    m_adding = false;
    emit addingChanged(false);
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
    end();
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
    FileListRecord record;
    record.FilePath = path;
    record.Duration = probe.duration;
    record.durationMs = probe.durationMs;
    record.FileSize = probe.fileSize;
    // A file nothing could probe (no encoder) is not offered for conversion either.
    const bool known = probe.verdict == FileProbe::Verdict::Reads;
    record.status = known ? RowStatus::State::WaitingConversion : RowStatus::State::UnkownFormat;
    if (!m_model.append(record, error))
        return false;
    if (!known) {
        const int row = m_model.rowCount() - 1;
        m_model.setTextColor(row, FileListModel::Status, UnknownFormatColor);
        m_model.setTextColor(row, FileListModel::Duration, UnknownFormatColor);
    }
    emit selectAllCleared();
    return true;
}

void FileAdder::fail(const FileListError &error)
{
    MessageBox::show(QStringLiteral("An error occured while Adding File\r") +
                         QString::number(error.number) + QLatin1Char(':') + error.description,
                     MessageIcon::Critical);
}
