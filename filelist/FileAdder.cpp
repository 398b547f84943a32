#include "FileAdder.h"

#include "AddingRules.h"
#include "CVideoConv.h"
#include "FileListModel.h"
#include "FileListStatus.h"
#include "FolderListing.h"
#include "MediaProbe.h"
#include "MessageBox.h"
#include "SelectionList.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kRefusedWarning =
    QStringLiteral("Some files are not supported or already exist and will not be added");

FileListError systemError(int number)
{
    return {number, qt_error_string(number)};
}
} // namespace

const QString FileAdder::CancelAnswer = QStringLiteral("Cancel");
const QColor FileAdder::UnknownFormatColor = QColor(220, 10, 10);

// Holds the one-add-at-a-time flag for the length of a scope.
class FileAdder::Busy
{
public:
    explicit Busy(FileAdder &adder) : m_adder(adder), m_started(!adder.m_adding)
    {
        if (!m_started)
            return;
        m_adder.m_adding = true;
        m_adder.m_stopRequested = false;
        emit m_adder.addingChanged(true);
    }
    ~Busy()
    {
        if (!m_started)
            return;
        m_adder.m_adding = false;
        emit m_adder.addingChanged(false);
    }
    bool started() const { return m_started; }

private:
    FileAdder &m_adder;
    bool m_started;
};

FileAdder::FileAdder(FileListModel &model, DialogService &dialogs, QObject *parent)
    : QObject(parent), m_model(model), m_dialogs(dialogs)
{
}

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
    Busy busy(*this);
    return busy.started() ? addOne(path) : 0;
}

void FileAdder::AddFileList(const QString &selection)
{
    Busy busy(*this);
    if (!busy.started())
        return;
    QString chosen = selection;
    if (chosen.isEmpty()) {
        chosen = ShowOpenFileDialog(openFileFilters(),
                                    QStringLiteral("Select one or more video files"), true);
        if (chosen == CancelAnswer)
            return;
    }
    addPaths(SelectionList::toPaths(chosen), true);
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
    Busy busy(*this);
    if (!busy.started())
        return;
    const QString folder = BrowseForFolder(QStringLiteral("Select folder to add"), false);
    if (folder.isEmpty())
        return;
    const QStringList names = FolderListing::ListFolderFiles(folder);
    if (names.isEmpty()) {
        MessageBox::show(QStringLiteral("Selected Folder is empty."), MessageIcon::Exclamation);
        return;
    }
    addPaths(SelectionList::toPaths(SelectionList::fromFolder(folder, names)), true);
}

QString FileAdder::BrowseForFolder(const QString &title, bool newStyle)
{
    return m_dialogs.chooseFolder(title, newStyle);
}

void FileAdder::addDroppedFiles(const QStringList &paths)
{
    Busy busy(*this);
    if (busy.started())
        addPaths(paths, false);
}

void FileAdder::stopAdding()
{
    if (!m_adding)
        return;
    m_stopRequested = true;
    if (m_encoder)
        m_encoder->StopConversion();
}

void FileAdder::addPaths(const QStringList &paths, bool warnOnRefusal)
{
    bool anyRefused = false;
    for (const QString &path : paths) {
        if (m_stopRequested)
            return;
        if (addOne(path) == 0)
            anyRefused = true;
    }
    if (warnOnRefusal && anyRefused && !m_stopRequested)
        MessageBox::show(kRefusedWarning, MessageIcon::Exclamation);
}

qint16 FileAdder::addOne(const QString &rawPath)
{
    FileListRecord record;
    record.FilePath = AddingRules::normalisePath(rawPath);
    if (m_model.rowOfPath(record.FilePath) >= 0)
        return 0;
    FileListError error;
    // A full list or an over-long path would be refused at the end; say so before probing.
    if (!m_model.accepts(record, &error))
        return fail(error);
    bool isRegular = false;
    if (!checkReadableRegularFile(record.FilePath, &isRegular, &error))
        return fail(error);
    if (!isRegular)
        return 0;
    switch (probe(&record, &error)) {
    case ProbeOutcome::Refused:
        return 0;
    case ProbeOutcome::Failed:
        return fail(error);
    case ProbeOutcome::Probed:
        break;
    }
    return appendRow(record, &error) ? 1 : fail(error);
}

FileAdder::ProbeOutcome FileAdder::probe(FileListRecord *record, FileListError *error)
{
    const QString &path = record->FilePath;
    const bool supported = encoder().IsFileSupported(path);
    if (m_stopRequested || AddingRules::isRejectedExtension(AddingRules::extension(path)))
        return ProbeOutcome::Refused;

    record->Duration = MediaProbe::GetMediaDuration(path);
    record->Status = supported ? FileListStatus::WaitingConversion : FileListStatus::UnkownFormat;
    if (AddingRules::isCdTrack(path)) {
        record->FileSize = QStringLiteral("CD Track");
        return ProbeOutcome::Probed;
    }
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        *error = systemError(errno);
        return ProbeOutcome::Failed;
    }
    record->FileSize = MediaProbe::FormatFileSize(qint64(info.st_size));
    return ProbeOutcome::Probed;
}

bool FileAdder::appendRow(const FileListRecord &record, FileListError *error)
{
    if (!m_model.append(record, error))
        return false;
    if (record.Status == FileListStatus::UnkownFormat) {
        const int row = m_model.rowCount() - 1;
        m_model.setTextColor(row, FileListModel::Status, UnknownFormatColor);
        m_model.setTextColor(row, FileListModel::Duration, UnknownFormatColor);
    }
    emit selectAllCleared();
    return true;
}

bool FileAdder::checkReadableRegularFile(const QString &path, bool *isRegular, FileListError *error)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (::stat(name.constData(), &info) != 0) {
        *error = systemError(errno);
        return false;
    }
    // FIFOs, sockets and devices are never opened: reading a FIFO would wait forever.
    *isRegular = S_ISREG(info.st_mode);
    if (!*isRegular)
        return true;
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        *error = systemError(errno);
        return false;
    }
    ::close(descriptor);
    return true;
}

qint16 FileAdder::fail(const FileListError &error)
{
    MessageBox::show(QStringLiteral("An error occured while Adding File\r") +
                         QString::number(error.number) + QLatin1Char(':') + error.description,
                     MessageIcon::Critical);
    return 0;
}

CVideoConv &FileAdder::encoder()
{
    if (!m_encoder)
        m_encoder = std::make_unique<CVideoConv>();
    return *m_encoder;
}
