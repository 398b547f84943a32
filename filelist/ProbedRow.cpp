#include "filelist/ProbedRow.h"

#include "filelist/FileListModel.h"

namespace {
FileListRecord rowOf(const QString &path, const FileProbe::Result &probe)
{
    FileListRecord record;
    record.FilePath = path;
    record.Duration = probe.duration;
    record.durationMs = probe.durationMs;
    record.streams = probe.streams;
    record.FileSize = probe.fileSize;
    const bool reads =
        probe.verdict == FileProbe::Verdict::Reads || probe.verdict == FileProbe::Verdict::NotAsked;
    record.status =
        reads ? RowStatus::State::WaitingConversion : RowStatus::State::UnknownWhenAdded;
    return record;
}
} // namespace

bool ProbedRow::append(FileListModel &model, const QString &path, const FileProbe::Result &probe,
                       FileListError *error)
{
    const FileListRecord row = rowOf(path, probe);
    if (!model.append(row, error))
        return false;
    if (row.status.state() == RowStatus::State::UnknownWhenAdded)
        model.setTone(model.rowCount() - 1, RowTone::UnknownWhenAdded);
    return true;
}
