#include "ConversionQueue.h"

#include "CVideoConv.h"
#include "FileListModel.h"
#include "FileListStatus.h"
#include "OutputFileName.h"

#include <QColor>
#include <QScopedValueRollback>
#include <QStringList>

namespace {
const QColor kCompleteColor(113, 177, 98);
const QColor kFailedColor(220, 10, 10);
} // namespace

ConversionQueue::ConversionQueue(FileListModel &list, Choices choices, QObject *parent)
    : QObject(parent), m_list(list), m_choices(std::move(choices))
{
}

ConversionQueue::~ConversionQueue() = default;

bool ConversionQueue::lengthInSeconds(const QString &duration, float *seconds)
{
    if (!duration.contains(QLatin1Char(':'))) {
        *seconds = 0;
        return true;
    }
    const QStringList parts = duration.split(QLatin1Char(':'));
    if (parts.size() < 3)
        return false;
    double total = 0;
    const double weights[] = {3600, 60, 1};
    for (int part = 0; part < 3; ++part) {
        bool ok = false;
        const double value = parts.at(part).trimmed().toDouble(&ok);
        if (!ok)
            return false;
        total += value * weights[part];
    }
    *seconds = float(total);
    return true;
}

bool ConversionQueue::ConvertList(bool selectedOnly)
{
    QScopedValueRollback<bool> running(m_running, true);
    m_isConverting = true;
    m_currentRow = -1;
    bool converted = false;
    for (int row = 0; row < m_list.rowCount(); ++row) {
        if (m_stopRequested)
            break;
        const FileListRecord &record = m_list.record(row);
        if (record.Status != FileListStatus::WaitingConversion &&
            record.Status != FileListStatus::Cancelled)
            continue;
        if (selectedOnly && record.CheckBox == 0)
            continue;
        m_currentFile = record.FilePath;
        const QString duration = record.Duration;
        LocateCurrentRow();
        converted = true;
        const QString output = GetOutputFileName(m_currentFile, m_choices.extension(),
                                                 m_choices.sameFolder(), m_choices.outputFolder());
        ConvertVideo(m_currentFile, output, duration);
    }
    m_isConverting = false;
    m_stopRequested = false;
    return converted;
}

void ConversionQueue::requestStop()
{
    if (!m_running)
        return;
    m_stopRequested = true;
    if (cConvert)
        cConvert->StopConversion();
}

void ConversionQueue::ConvertVideo(const QString &input, const QString &output,
                                   const QString &duration)
{
    float seconds = 0;
    if (!lengthInSeconds(duration, &seconds)) {
        finishRow(false);
        return;
    }
    cConvert = std::make_unique<CVideoConv>();
    connect(cConvert.get(), &CVideoConv::Progress, this, &ConversionQueue::cConvert_Progress);
    connect(cConvert.get(), &CVideoConv::CurrentStatus, this,
            &ConversionQueue::cConvert_CurrentStatus);
    cConvert->setInputFile(input);
    cConvert->setOutputFile(output);
    cConvert->setParametrs(m_choices.parameters() + QStringLiteral(" -y"));
    cConvert->setFileTimeLength(seconds);
    cConvert->StartConversion();
    finishRow(cConvert->succeeded());
}

// A row that did not succeed never ends "Complete", even when its job could not say why.
void ConversionQueue::finishRow(bool succeeded)
{
    if (m_currentRow < 0)
        return;
    const QString status = m_list.record(m_currentRow).Status;
    if (status == FileListStatus::Cancelled) {
        m_list.setTextColor(m_currentRow, FileListModel::Status, kFailedColor);
    } else if (succeeded && status != FileListStatus::Error) {
        m_list.setStatus(m_currentRow, FileListStatus::Complete);
        m_list.setTextColor(m_currentRow, FileListModel::Status, kCompleteColor);
    } else {
        m_list.setStatus(m_currentRow, FileListStatus::Error);
        m_list.setTextColor(m_currentRow, FileListModel::Status, kFailedColor);
    }
}

void ConversionQueue::LocateCurrentRow()
{
    m_currentRow = m_list.rowOfPath(m_currentFile);
}

void ConversionQueue::cConvert_Progress(qint16 percent)
{
    if (m_isConverting && m_currentRow >= 0)
        m_list.setStatus(m_currentRow, QString::number(percent));
}

void ConversionQueue::cConvert_CurrentStatus(const QString &status)
{
    if (m_isConverting && m_currentRow >= 0)
        m_list.setStatus(m_currentRow, status);
}
