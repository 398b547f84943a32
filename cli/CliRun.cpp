#include "cli/CliRun.h"

#include "batch/EarlierResult.h"
#include "cli/ShellQuote.h"
#include "engine/EncoderCommand.h"
#include "engine/OutputFileName.h"
#include "filelist/AddRun.h"
#include "filelist/AddingRules.h"
#include "filelist/FolderListing.h"
#include "filelist/ProbedRow.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <algorithm>

namespace {
const QString kNotUtf8 = QStringLiteral("the name is not valid UTF-8");
} // namespace

CliRun::CliRun(const BatchChoices &choices, int jobs, CliReport &report, QObject *parent)
    : QObject(parent), m_choices(choices), m_jobs(jobs), m_report(report), m_queue(m_list)
{
    m_pool.setMaxThreadCount(QThread::idealThreadCount());
    connect(&m_queue, &ConversionQueue::rowStarted, this, &CliRun::rowStarted);
    connect(&m_queue, &ConversionQueue::rowProgress, this,
            [this](quint64 key, qint64, int percent) {
                for (auto &[runningKey, file] : m_running) {
                    if (runningKey == key)
                        file.percent = percent;
                }
            });
    connect(&m_queue, &ConversionQueue::progressChanged, this, &CliRun::tick);
    connect(&m_queue, &ConversionQueue::rowEnded, this, &CliRun::rowEnded);
    connect(&m_queue, &ConversionQueue::batchFinished, this, &CliRun::batchFinished);
    connect(&m_queue, &ConversionQueue::batchNotice, this, [this](const BatchNotice &notice) {
        m_summary.outputUnusable = true;
        m_pending.clear(); // nothing more could be written either
        if (m_adding)
            m_adding->cancel();
        m_report.outputUnusable(notice.reason);
    });
}

// The adding run goes first: it waits for its probes, which use the pool.
CliRun::~CliRun()
{
    m_adding.reset();
}

QStringList CliRun::gather(const QStringList &paths, QStringList *unreadable,
                           QStringList *emptyFolders)
{
    QStringList files;
    for (const QString &given : paths) {
        const QString path = QDir::cleanPath(QDir::current().absoluteFilePath(given));
        if (!QFileInfo(path).isDir()) {
            files << path;
            continue;
        }
        const FolderListing::Files listed = FolderListing::filesOf(path);
        if (listed.paths.isEmpty() && listed.unreadable.isEmpty())
            *emptyFolders << path;
        files << listed.paths;
        *unreadable << listed.unreadable;
    }
    return files;
}

QString CliRun::commandLine(const QString &input, const QString &options,
                            const BatchChoices &choices, const QString &output, bool makeFolder)
{
    bool newline = false;
    const auto quoted = [&newline](const QStringList &words) {
        return ShellQuote::command(words, &newline);
    };
    const QFileInfo final(output);
    // "$t" is the private folder, removed on every way out; a stop ends the line through it.
    const QString made = QStringLiteral("\"$t\"/") + ShellQuote::word(final.fileName(), &newline);
    QStringList encoder =
        EncoderCommand::conversion(input, options + QStringLiteral(" -nostdin -y"), QString());
    encoder.first() = QStringLiteral("ffmpeg");
    encoder.removeLast(); // its output is made, a word of a variable and a quoted name
    QString line =
        quoted({QStringLiteral("test"), QStringLiteral("-e"), output}) + QStringLiteral(" || { ");
    if (makeFolder)
        line += quoted({QStringLiteral("mkdir"), QStringLiteral("-p"), QStringLiteral("--"),
                        final.path()}) +
                QStringLiteral(" && ");
    line +=
        QStringLiteral("t=$(mktemp -d ") +
        ShellQuote::word(final.path() + QStringLiteral("/.reelforge-XXXXXX"), &newline) +
        QStringLiteral(") && trap 'rm -rf -- \"$t\"' EXIT && trap 'exit 1' HUP INT TERM && { ") +
        quoted(encoder) + QLatin1Char(' ') + made + QStringLiteral(" && mv -n -- ") + made +
        QLatin1Char(' ') + quoted({output}) + QStringLiteral(" && test ! -e ") + made +
        QStringLiteral("; s=$?; rm -rf -- \"$t\"; test $s = 0; }");
    if (choices.keepDate)
        line += QStringLiteral(" && ") +
                quoted({QStringLiteral("touch"), QStringLiteral("-m"), QStringLiteral("-r"), input,
                        QStringLiteral("--"), output});
    return ShellQuote::lineStart(newline) + line + QStringLiteral("; }");
}

void CliRun::start(const QStringList &paths, QIODevice *commands)
{
    m_commands = commands;
    m_clock.start();
    QStringList unreadable;
    QStringList emptyFolders;
    m_pending = gather(paths, &unreadable, &emptyFolders);
    for (const QString &path : unreadable)
        m_report.notAdded(path, kNotUtf8);
    for (const QString &path : emptyFolders)
        m_report.notAdded(path, QStringLiteral("the folder holds no files"));
    m_summary.notAdded = int(unreadable.size() + emptyFolders.size());
    if (!m_commands)
        connect(&m_list, &QAbstractItemModel::rowsInserted, this, &CliRun::feedQueue,
                Qt::QueuedConnection);
    addNext();
}

void CliRun::stop()
{
    m_summary.stopped = true;
    m_pending.clear();
    if (m_adding)
        m_adding->cancel();
    if (m_queue.IsConverting())
        m_queue.requestStop();
    else
        end();
}

void CliRun::addNext()
{
    m_chunk = m_pending.mid(0, m_chunkSize);
    m_pending.remove(0, m_chunk.size());
    m_chunkSize *= 2;
    m_adding = std::make_unique<AddRun>(
        m_list, m_pool, m_chunk,
        [this](const QString &path, const FileProbe::Result &probe, FileListError *error) {
            return ProbedRow::append(m_list, path, probe, error);
        });
    // An encoder start per file only to learn what its conversion will tell anyway: a file the
    // encoder cannot read fails its row and the exit status says so.
    m_adding->setAskEncoder(false);
    connect(m_adding.get(), &AddRun::failed, this, [this](const FileListError &error) {
        m_addFailures.insert(error.path, error.description);
    });
    // The run is replaced once its signal has returned.
    connect(m_adding.get(), &AddRun::finished, this, &CliRun::chunkAdded, Qt::QueuedConnection);
    m_adding->start();
}

void CliRun::chunkAdded()
{
    if (m_summary.stopped || m_summary.outputUnusable)
        return;
    const bool encoderMissing = m_adding->encoderMissing();
    for (const QString &given : std::as_const(m_chunk)) {
        const QString path = AddingRules::normalisePath(given);
        const int row = m_list.rowOfPath(path);
        QString reason;
        if (row < 0 && m_adding->unreadableNames().contains(given))
            reason = kNotUtf8;
        else if (row < 0)
            reason = m_addFailures.value(path, QStringLiteral("not a file that is converted "
                                                              "(a folder inside, a device, or "
                                                              "a refused extension)"));
        else if (m_list.record(row).status.state() == RowStatus::State::UnknownWhenAdded)
            reason = encoderMissing ? QStringLiteral("the encoder ffmpeg was not found")
                                    : QStringLiteral("the encoder cannot read this file");
        if (!reason.isEmpty()) {
            m_report.notAdded(path, reason);
            ++m_summary.notAdded;
        }
    }
    if (!m_pending.isEmpty()) {
        addNext();
        return;
    }
    m_adding.reset();
    if (m_commands)
        printCommands();
    else if (!m_queue.IsConverting())
        end();
}

// Starts the queue on rows that arrived while it was idle; a running queue reaches them itself.
void CliRun::feedQueue()
{
    if (m_summary.stopped || m_summary.outputUnusable || m_ended || m_queue.IsConverting())
        return;
    const QVector<FileListRecord> &records = m_list.records();
    if (std::any_of(records.cbegin(), records.cend(),
                    [](const FileListRecord &record) { return record.status.isConvertible(); }))
        m_queue.start(m_choices, false, m_jobs);
}

StreamPlan CliRun::planFor(const FileListRecord &record) const
{
    return StreamPlan::make(record.streams, m_choices.encoderOptions(), m_choices.extension,
                            m_choices.copyWhenPossible);
}

void CliRun::printCommands()
{
    // Printing changes nothing here: the output folder is made where the lines run, also when
    // it exists here, so that the lines stay the same however often they are printed.
    const bool makeFolder = !m_choices.sameFolder;
    QSet<QString> reserved;
    for (const FileListRecord &record : m_list.records()) {
        if (!record.status.isConvertible())
            continue;
        const StreamPlan plan = planFor(record);
        BatchChoices choices = m_choices;
        choices.extension = plan.extension();
        OutputNameFailure failure = OutputNameFailure::None;
        // Skipping results that exist, the lines name the same files however often printed.
        const QString output =
            m_choices.skipExisting
                ? EarlierResult::plainName(record.FilePath, choices, reserved)
                : GetOutputFileName(record.FilePath, plan.extension(), m_choices.sameFolder,
                                    m_choices.outputFolder, reserved, &failure, false);
        if (output.isEmpty()) {
            m_report.notAdded(record.FilePath,
                              failure == OutputNameFailure::FolderUnavailable
                                  ? QStringLiteral("the output folder cannot be made")
                                  : QStringLiteral("every output name for this file is taken"));
            ++m_summary.notAdded;
            continue;
        }
        reserved.insert(output);
        QString line = commandLine(record.FilePath, plan.options(), m_choices, output, makeFolder);
        // What happens to each stream, as a comment the shell skips; a control character in a
        // stream's tags could end the comment, so none is kept.
        QString streams = plan.lines().join(QStringLiteral("; "));
        for (QChar &ch : streams) {
            if (ch.category() == QChar::Other_Control)
                ch = QLatin1Char('?');
        }
        if (!streams.isEmpty())
            line += QStringLiteral("  # ") + streams;
        m_commands->write((line + QLatin1Char('\n')).toUtf8());
    }
    end();
}

void CliRun::rowStarted(quint64 key)
{
    const FileListRecord &record = m_list.record(m_list.rowOfKey(key));
    m_running.append({key, {record.FilePath, -1}});
    m_report.started(record.FilePath, planFor(record).lines());
}

void CliRun::tick()
{
    QVector<RunningFile> running;
    for (const auto &started : std::as_const(m_running))
        running.append(started.second);
    m_report.progress(running, m_queue.progress());
}

void CliRun::rowEnded(quint64 key, const RowEnding &ending)
{
    m_running.removeIf([key](const auto &started) { return started.first == key; });
    if (ending.kind == RowEnding::Kind::Complete)
        ++m_summary.converted;
    else if (ending.kind == RowEnding::Kind::Cancelled)
        ++m_summary.cancelled;
    else
        ++m_summary.failed;
    m_report.finished(ending);
}

void CliRun::batchFinished()
{
    // Files still being added restart the queue when their rows arrive.
    if (m_summary.stopped || m_summary.outputUnusable || !m_adding)
        end();
}

void CliRun::end()
{
    if (m_ended)
        return;
    m_ended = true;
    m_summary.elapsedMs = m_clock.elapsed();
    if (!m_commands)
        m_report.summary(m_summary);
    const int status = m_summary.stopped ? StatusStopped
                       : m_summary.failed > 0 || m_summary.notAdded > 0 || m_summary.outputUnusable
                           ? StatusFailed
                           : 0;
    emit finished(status);
}
