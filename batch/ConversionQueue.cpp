#include "batch/ConversionQueue.h"

#include "batch/EarlierResult.h"
#include "batch/OutputCheck.h"
#include "batch/StreamPlan.h"
#include "engine/CVideoConv.h"
#include "engine/OutputFileName.h"
#include "engine/TemporaryOutput.h"
#include "filelist/FileListModel.h"

#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>

namespace {
constexpr int kTickMs = 250;
QString folderProblem(const QString &folder)
{
    const QString notCreated = QStringLiteral("Output Folder is not exist and can not be created.");
    if (folder.isEmpty())
        return notCreated + QStringLiteral("\r\nNo output folder is chosen.");
    const QFileInfo info(folder);
    if (info.exists())
        return notCreated + QStringLiteral("\r\n%1 is not a folder.").arg(folder);
    if (!QFileInfo(info.absolutePath()).isDir())
        return notCreated + QStringLiteral("\r\n%1: its parent folder does not exist.").arg(folder);
    return notCreated + QStringLiteral("\r\n%1 cannot be created.").arg(folder);
}

QString writeProblem(const QString &folder, int error)
{
    if (error == ENOSPC || error == EDQUOT)
        return QStringLiteral("No space left on device in %1.").arg(folder);
    return QStringLiteral("Cannot write in %1: %2.").arg(folder, qt_error_string(error));
}

// Why this one output cannot be made where others can.
QString nameProblem(const QString &output, int error)
{
    if (error == ENAMETOOLONG)
        return QStringLiteral("The output name is too long for its folder: %1.").arg(output);
    // What FAT, exFAT and network mounts answer for a name with : ? * " < > | or \\ in it.
    if (error == EINVAL || error == EILSEQ || error == EPERM || error == ENOENT)
        return QStringLiteral("The output folder does not take a character of the name %1.")
            .arg(output);
    return QStringLiteral("The output %1 cannot be made: %2.").arg(output, qt_error_string(error));
}

// Gives `to` the modification time of `from`, to the nanosecond; the reason when it cannot.
QString copyModificationTime(const QString &from, const QString &to)
{
    struct stat source = {};
    if (::stat(QFile::encodeName(from).constData(), &source) != 0)
        return qt_error_string(errno);
    const timespec times[2] = {{0, UTIME_OMIT}, source.st_mtim};
    if (::utimensat(AT_FDCWD, QFile::encodeName(to).constData(), times, 0) != 0)
        return qt_error_string(errno);
    return QString();
}
} // namespace

struct ConversionQueue::Row
{
    TemporaryOutput temporary; // goes last: its file is removed once the encoder is dead
    std::unique_ptr<CVideoConv> job;
    QString input;
    QString extension;
    QString plan; // what happens to each stream, for the log
    QString finalPath;
    QString written;
    bool earlier = false;    // written by an earlier run
    bool unreadable = false; // the encoder said it cannot read the input
    QString log;
    std::unique_ptr<QFutureWatcher<OutputCheck::Verdict>> check;
    std::unique_ptr<QFutureWatcher<EarlierResult::Found>> search;
};

ConversionQueue::ConversionQueue(FileListModel &list, QObject *parent)
    : QObject(parent), m_list(list)
{
    m_tick.setInterval(kTickMs);
    connect(&m_tick, &QTimer::timeout, this, &ConversionQueue::progressChanged);
    connect(&m_list, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { rowsAppended(first, last); });
}

ConversionQueue::~ConversionQueue() = default;

void ConversionQueue::start(const BatchChoices &choices, bool selectedOnly, int simultaneous)
{
    if (m_converting)
        return;
    m_choices = choices;
    m_selectedOnly = selectedOnly;
    m_simultaneous = std::max(1, simultaneous);
    m_converting = true;
    m_stopRequested = false;
    m_converted = false;
    m_folderReported = false;
    m_lastKey = 0;
    m_nextRow = 0;
    m_searched.clear();
    m_batchOutputs.clear();
    m_progress.begin();
    rowsAppended(0, m_list.rowCount() - 1);
    m_tick.start();
    fillSlots();
}

void ConversionQueue::requestStop()
{
    if (!m_converting)
        return;
    m_stopRequested = true;
    for (auto &row : m_rows) {
        if (row.second->job)
            row.second->job->StopConversion();
    }
    if (m_rows.empty())
        finishBatch();
}

bool ConversionQueue::isEligible(int row) const
{
    const FileListRecord &record = m_list.record(row);
    return record.status.isConvertible() && !m_rows.count(record.key) &&
           (!m_selectedOnly || record.isTicked());
}

void ConversionQueue::rowsAppended(int first, int last)
{
    if (!m_converting)
        return;
    for (int row = first; row <= last; ++row) {
        if (isEligible(row)) {
            const FileListRecord &record = m_list.record(row);
            m_progress.addRow(record.key, record.durationMs > 0 ? record.durationMs / 1000.0 : 0);
        }
    }
    // A free slot takes a row as soon as it is there, not only when another row ends; from
    // the event loop, since the list is still busy inserting.
    QMetaObject::invokeMethod(this, &ConversionQueue::fillSlots, Qt::QueuedConnection);
}

int ConversionQueue::nextRow()
{
    const int last = m_lastKey ? m_list.rowOfKey(m_lastKey) : -1;
    int row = last >= 0 ? last + 1 : m_nextRow;
    for (; row < m_list.rowCount(); ++row) {
        if (isEligible(row))
            return row;
    }
    return -1;
}

// A row whose output is being checked holds no slot: the next encoder starts meanwhile. A row
// whose earlier result is looked for holds the slot its encoder may take.
int ConversionQueue::runningEncoders() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(), [](const auto &row) {
        return row.second->job != nullptr || row.second->search != nullptr;
    }));
}

void ConversionQueue::fillSlots()
{
    QPointer<ConversionQueue> self(this);
    while (self && m_converting && !m_stopRequested && runningEncoders() < m_simultaneous) {
        const int row = nextRow();
        if (row < 0 || !startRow(row))
            break;
    }
    if (self && m_converting && m_rows.empty())
        finishBatch();
}

// False when the row could not start because no file can be written where it would go.
bool ConversionQueue::startRow(int index)
{
    const FileListRecord record = m_list.record(index);
    if (m_choices.skipExisting && !m_searched.contains(record.key)) {
        searchEarlierResult(index);
        return true;
    }
    const StreamPlan plan = StreamPlan::make(record.streams, m_choices.encoderOptions(),
                                             m_choices.extension, m_choices.copyWhenPossible);
    OutputNameFailure failure = OutputNameFailure::None;
    const QString output =
        GetOutputFileName(record.FilePath, plan.extension(), m_choices.sameFolder,
                          m_choices.outputFolder, m_reservedOutputs, &failure);
    const QString folder =
        m_choices.sameFolder ? QFileInfo(record.FilePath).path() : m_choices.outputFolder;
    if (failure == OutputNameFailure::FolderUnavailable) {
        folderUnusable(folderProblem(folder));
        return false;
    }
    auto row = std::make_unique<Row>();
    row->input = record.FilePath;
    row->extension = plan.extension();
    if (!plan.steps().isEmpty())
        row->plan = QStringLiteral("Streams:\n  ") + plan.lines().join(QStringLiteral("\n  ")) +
                    QStringLiteral("\n\n");
    int error = 0;
    TemporaryOutput::Failure made = TemporaryOutput::Failure::None;
    if (!output.isEmpty())
        made = row->temporary.create(output, &error);
    if (made == TemporaryOutput::Failure::Folder) {
        // Read-only, full or otherwise unwritable: no later row would fare better.
        folderUnusable(writeProblem(folder, error));
        return false;
    }
    m_lastKey = record.key;
    m_nextRow = index + 1;
    m_converted = true;
    const quint64 key = record.key;
    m_progress.addRow(key, record.durationMs > 0 ? record.durationMs / 1000.0 : 0);
    // A name this folder refuses ends its own row only; options that cannot be made end the
    // batch, since converting with the encoder's defaults instead would be no success.
    QString problem;
    if (output.isEmpty()) {
        problem = QStringLiteral("Every output name for this file is taken.");
    } else if (made == TemporaryOutput::Failure::Name) {
        problem = nameProblem(output, error);
    } else if (!m_choices.optionsProblem.isEmpty()) {
        problem = m_choices.optionsProblem;
        m_stopRequested = true;
    }
    if (!problem.isEmpty()) {
        m_rows.emplace(key, std::move(row));
        endRow(key, RowEnding::Kind::Failed, problem, problem);
        return true;
    }

    row->finalPath = output;
    row->job = std::make_unique<CVideoConv>();
    CVideoConv *job = row->job.get();
    connect(job, &CVideoConv::stateChanged, this,
            [this, key](const JobState &state) { jobState(key, state); });
    connect(job, &CVideoConv::finished, this,
            [this, key](const ConversionOutcome &outcome) { jobEnded(key, outcome); });
    job->setInputFile(record.FilePath);
    job->setOutputFile(row->temporary.path());
    // The overwrite switch reaches nothing: the private folder holds no other file.
    job->setParametrs(plan.options() + QStringLiteral(" -y"));
    // The length in whole seconds, as the Duration column shows it.
    job->setFileTimeLength(record.durationMs > 0 ? float(std::nearbyint(record.durationMs / 1000.0))
                                                 : 0.0f);
    m_reservedOutputs.insert(output);
    m_rows.emplace(key, std::move(row));
    job->start();
    return true;
}

void ConversionQueue::searchEarlierResult(int index)
{
    const FileListRecord &record = m_list.record(index);
    const quint64 key = record.key;
    m_lastKey = key;
    m_nextRow = index + 1;
    m_progress.addRow(key, record.durationMs > 0 ? record.durationMs / 1000.0 : 0);
    auto row = std::make_unique<Row>();
    row->input = record.FilePath;
    row->search = std::make_unique<QFutureWatcher<EarlierResult::Found>>();
    connect(row->search.get(), &QFutureWatcherBase::finished, this, [this, key] { searched(key); });
    // The extension a result of this file gets: "auto" stands for one that fits its streams.
    BatchChoices choices = m_choices;
    choices.extension = StreamPlan::outputExtension(record.streams, m_choices.encoderOptions(),
                                                    m_choices.extension);
    row->search->setFuture(QtConcurrent::run(&EarlierResult::find, record.FilePath, choices,
                                             record.durationMs > 0 ? record.durationMs : -1,
                                             m_batchOutputs));
    m_rows.emplace(key, std::move(row));
}

void ConversionQueue::searched(quint64 key)
{
    const auto found = m_rows.find(key);
    if (found == m_rows.end())
        return;
    const EarlierResult::Found earlier = found->second->search->result();
    if (!earlier.path.isEmpty()) {
        found->second->written = earlier.path;
        found->second->earlier = true;
        endRow(key, RowEnding::Kind::Complete, earlier.log, QString());
        return;
    }
    // Converted as without the choice, its log telling what the names held.
    m_searched.insert(key, earlier.log);
    m_rows.erase(found);
    const int index = m_list.rowOfKey(key);
    QPointer<ConversionQueue> self(this);
    if (index >= 0 && !m_stopRequested && isEligible(index))
        startRow(index);
    if (self)
        fillSlots();
}

void ConversionQueue::jobState(quint64 key, const JobState &state)
{
    const auto found = m_rows.find(key);
    if (!m_converting || found == m_rows.end())
        return;
    const int index = m_list.rowOfKey(key);
    QPointer<ConversionQueue> self(this); // the list's watchers may close the window
    switch (state.kind) {
    case JobState::Kind::Starting:
        m_list.setStatus(index, RowStatus::State::Starting);
        if (self)
            emit rowStarted(key);
        return;
    case JobState::Kind::InputUnreadable:
        found->second->unreadable = true;
        m_list.setStatus(index, RowStatus::State::UnknownFormat);
        return;
    case JobState::Kind::Converting:
        m_progress.mediaTime(key, state.mediaMs / 1000.0);
        m_list.setStatus(index, state.percent >= 0 ? RowStatus::percent(qint16(state.percent))
                                                   : RowStatus::secondsConverted(state.seconds));
        if (self)
            emit rowProgress(key, state.mediaMs, state.percent);
        return;
    }
}

void ConversionQueue::jobEnded(quint64 key, const ConversionOutcome &outcome)
{
    const auto found = m_rows.find(key);
    if (found == m_rows.end())
        return;
    Row &row = *found->second;
    // We are inside the job's own signal: it goes once control is back in the event loop.
    row.job.release()->deleteLater();
    row.log = row.plan + outcome.log;
    switch (outcome.kind) {
    case ConversionOutcome::Kind::Succeeded:
        // The file is read on a worker thread; the window keeps drawing.
        row.check = std::make_unique<QFutureWatcher<OutputCheck::Verdict>>();
        connect(row.check.get(), &QFutureWatcherBase::finished, this,
                [this, key] { checked(key); });
        row.check->setFuture(QtConcurrent::run(&OutputCheck::check, row.temporary.path(),
                                               OutputCheck::fromLog(outcome.log)));
        fillSlots();
        return;
    case ConversionOutcome::Kind::Cancelled:
        row.temporary.discard();
        endRow(key, RowEnding::Kind::Cancelled, row.log, QString());
        return;
    case ConversionOutcome::Kind::Failed: {
        // The user knows the file by its final name, and the folder by the one they chose.
        QString reason = outcome.reason;
        reason.replace(row.temporary.path(), row.finalPath);
        const qsizetype encoderLine = reason.indexOf(QStringLiteral("\r\n"));
        if (outcome.diskFull)
            reason = writeProblem(QFileInfo(row.finalPath).path(), ENOSPC) +
                     (encoderLine < 0 ? QString() : reason.mid(encoderLine));
        row.temporary.discard();
        if (outcome.diskFull)
            folderUnusable(reason);
        endRow(key, row.unreadable ? RowEnding::Kind::UnknownFormat : RowEnding::Kind::Failed,
               row.log, outcome.diskFull ? QString() : reason);
        return;
    }
    }
}

void ConversionQueue::checked(quint64 key)
{
    const auto found = m_rows.find(key);
    if (found == m_rows.end())
        return;
    Row &row = *found->second;
    const OutputCheck::Verdict verdict = row.check->result();
    QString log = row.log;
    if (!QFileInfo::exists(row.temporary.path())) {
        // An encoder told to write elsewhere (-f null, a pipe) reports success with no file.
        const QString reason =
            QStringLiteral("The encoder wrote no file for %1.").arg(row.finalPath);
        row.temporary.discard();
        endRow(key, RowEnding::Kind::Failed, log + QLatin1Char('\n') + reason + QLatin1Char('\n'),
               reason);
        return;
    }
    if (!verdict.problem.isEmpty()) {
        // Never under the final name: a later run would name its good result beside it.
        const QString kept = row.temporary.keep(row.finalPath, QStringLiteral("check-failed"));
        const QString where = QStringLiteral("It is kept as %1.").arg(kept);
        endRow(key, RowEnding::Kind::Failed,
               log + QLatin1Char('\n') + verdict.problem + QLatin1Char(' ') + where +
                   QLatin1Char('\n'),
               verdict.problem + QStringLiteral("\r\n") + where);
        return;
    }
    int error = 0;
    const QString written = row.temporary.commit(
        row.finalPath, [this, &row] { return nextFreeName(row); }, &error);
    if (written.isEmpty()) {
        // A checked result is never deleted: it stays beside its name, or where it is.
        const QString kept = row.temporary.keep(row.finalPath, QStringLiteral("converted"));
        const QString reason =
            QStringLiteral("The result cannot be moved to %1: %2.\r\nIt is kept as %3.")
                .arg(row.finalPath, qt_error_string(error), kept);
        endRow(key, RowEnding::Kind::Failed, log + QLatin1Char('\n') + reason, reason);
        return;
    }
    row.written = written;
    m_batchOutputs.insert(written);
    log += QStringLiteral("\nWritten to %1.\n").arg(written);
    const QString undated =
        m_choices.keepDate ? copyModificationTime(row.input, written) : QString();
    if (!undated.isEmpty())
        log += QStringLiteral("Its file date could not be set: %1.\n").arg(undated);
    if (!verdict.note.isEmpty())
        log += verdict.note + QLatin1Char('\n');
    endRow(key, RowEnding::Kind::Complete, log, QString());
}

QString ConversionQueue::nextFreeName(const Row &row) const
{
    return GetOutputFileName(row.input, row.extension, m_choices.sameFolder, m_choices.outputFolder,
                             m_reservedOutputs);
}

// A row whose job did not succeed never ends "Complete". problem, when given, is told.
void ConversionQueue::endRow(quint64 key, RowEnding::Kind kind, QString log, const QString &problem)
{
    const auto found = m_rows.find(key);
    RowEnding ending{kind,    found->second->input,        found->second->written,
                     problem, m_searched.value(key) + log, found->second->earlier};
    m_reservedOutputs.remove(found->second->finalPath);
    m_rows.erase(found);
    using Ending = BatchProgress::Ending;
    m_progress.rowEnded(key, kind == RowEnding::Kind::Complete    ? Ending::Succeeded
                             : kind == RowEnding::Kind::Cancelled ? Ending::Cancelled
                                                                  : Ending::Failed);

    const int index = m_list.rowOfKey(key);
    m_list.setOutput(index, ending.output);
    m_list.setStatus(index, ending.state());
    m_list.setLog(index, ending.log);
    m_list.setTone(index, kind == RowEnding::Kind::Complete ? RowTone::Complete : RowTone::Failed);
    QPointer<ConversionQueue> self(this);
    emit rowEnded(key, ending);
    if (self)
        fillSlots();
}

void ConversionQueue::folderUnusable(const QString &reason)
{
    if (!m_folderReported) {
        m_folderReported = true;
        QPointer<ConversionQueue> self(this);
        emit batchNotice({reason});
        if (!self)
            return;
    }
    requestStop();
}

void ConversionQueue::finishBatch()
{
    m_converting = false;
    m_stopRequested = false;
    m_tick.stop();
    emit progressChanged();
    emit batchFinished(m_converted);
}
