#include "ConversionQueue.h"

#include "CVideoConv.h"
#include "FileListModel.h"
#include "FileListStatus.h"
#include "OutputFileName.h"

#include <QColor>
#include <QPointer>

#include <cmath>

namespace {
constexpr int kTickMs = 250;

// The row state a job's status text stands for.
RowStatus statusOf(const QString &text)
{
    namespace S = FileListStatus;
    if (text == S::Starting)
        return RowStatus::State::Starting;
    if (text == S::UnknownFormat)
        return RowStatus::State::UnknownFormat;
    if (text == S::Cancelled)
        return RowStatus::State::Cancelled;
    if (text == S::Error)
        return RowStatus::State::Error;
    return RowStatus::secondsConverted(text.left(text.size() - S::SecondsConverted.size()));
}
} // namespace

ConversionQueue::ConversionQueue(FileListModel &list, QObject *parent)
    : QObject(parent), m_list(list)
{
    m_tick.setInterval(kTickMs);
    connect(&m_tick, &QTimer::timeout, this, &ConversionQueue::progressChanged);
    connect(&m_list, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { rowsAppended(first, last); });
}

ConversionQueue::~ConversionQueue() = default;

QColor ConversionQueue::completeColor()
{
    return QColor(113, 177, 98);
}

QColor ConversionQueue::failedColor()
{
    return QColor(220, 10, 10);
}

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
    m_lastKey = 0;
    m_nextRow = 0;
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
    for (auto &job : m_jobs)
        job.second->StopConversion();
    if (m_jobs.empty())
        finishBatch();
}

bool ConversionQueue::isEligible(int row) const
{
    const FileListRecord &record = m_list.record(row);
    return record.status.isConvertible() && !m_jobs.count(record.key) &&
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

void ConversionQueue::fillSlots()
{
    QPointer<ConversionQueue> self(this);
    while (self && m_converting && !m_stopRequested && int(m_jobs.size()) < m_simultaneous) {
        const int row = nextRow();
        if (row < 0)
            break;
        startRow(row);
    }
    if (self && m_converting && m_jobs.empty())
        finishBatch();
}

void ConversionQueue::startRow(int row)
{
    const FileListRecord record = m_list.record(row);
    m_lastKey = record.key;
    m_nextRow = row + 1;
    m_converted = true;

    OutputNameFailure failure = OutputNameFailure::None;
    const QString output =
        GetOutputFileName(record.FilePath, m_choices.extension, m_choices.sameFolder,
                          m_choices.outputFolder, m_reservedOutputs, &failure);
    if (failure == OutputNameFailure::FolderUnavailable)
        emit rowFailed({BatchNotice::Kind::OutputFolderUnavailable, record.FilePath, QString()});
    if (!output.isEmpty())
        m_reservedOutputs.insert(output);
    m_outputOfRow.insert(record.key, output);

    const quint64 key = record.key;
    auto job = std::make_unique<CVideoConv>();
    CVideoConv *started = job.get();
    connect(started, &CVideoConv::CurrentStatus, this,
            [this, key](const QString &status) { rowStatus(key, status); });
    connect(started, &CVideoConv::Progress, this,
            [this, key](qint16 percent) { rowPercent(key, percent); });
    connect(started, &CVideoConv::mediaTimeChanged, this,
            [this, key](double seconds) { m_progress.mediaTime(key, seconds); });
    connect(started, &CVideoConv::finished, this,
            [this, key](const ConversionOutcome &outcome) { rowEnded(key, outcome); });
    started->setInputFile(record.FilePath);
    started->setOutputFile(output);
    started->setParametrs(m_choices.parameters + QStringLiteral(" -y"));
    // The length in whole seconds, as the Duration column shows it.
    started->setFileTimeLength(
        record.durationMs > 0 ? float(std::nearbyint(record.durationMs / 1000.0)) : 0.0f);
    m_progress.addRow(key, record.durationMs > 0 ? record.durationMs / 1000.0 : 0);
    m_jobs.emplace(key, std::move(job));
    started->start();
}

void ConversionQueue::rowStatus(quint64 key, const QString &status)
{
    if (m_converting)
        m_list.setStatus(m_list.rowOfKey(key), statusOf(status));
}

void ConversionQueue::rowPercent(quint64 key, qint16 percent)
{
    if (m_converting)
        m_list.setStatus(m_list.rowOfKey(key), RowStatus::percent(percent));
}

// A row whose job did not succeed never ends "Complete".
void ConversionQueue::rowEnded(quint64 key, const ConversionOutcome &outcome)
{
    const auto found = m_jobs.find(key);
    if (found == m_jobs.end())
        return;
    // We are inside the job's own signal: it goes once control is back in the event loop.
    found->second.release()->deleteLater();
    m_jobs.erase(found);
    m_reservedOutputs.remove(m_outputOfRow.take(key));
    m_progress.rowEnded(key);

    const int row = m_list.rowOfKey(key);
    switch (outcome.kind) {
    case ConversionOutcome::Kind::Succeeded:
        m_list.setStatus(row, RowStatus::State::Complete);
        m_list.setTextColor(row, FileListModel::Status, completeColor());
        break;
    case ConversionOutcome::Kind::Cancelled:
        m_list.setStatus(row, RowStatus::State::Cancelled);
        m_list.setTextColor(row, FileListModel::Status, failedColor());
        break;
    case ConversionOutcome::Kind::Failed:
        m_list.setStatus(row, RowStatus::State::Error);
        m_list.setTextColor(row, FileListModel::Status, failedColor());
        if (row >= 0) {
            QPointer<ConversionQueue> self(this);
            emit rowFailed(
                {BatchNotice::Kind::ConversionFailed, m_list.record(row).FilePath, outcome.reason});
            if (!self)
                return;
        }
        break;
    }
    fillSlots();
}

void ConversionQueue::finishBatch()
{
    m_converting = false;
    m_stopRequested = false;
    m_tick.stop();
    emit progressChanged();
    emit batchFinished(m_converted);
}
