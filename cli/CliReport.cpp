#include "cli/CliReport.h"

#include "filelist/FileListStatus.h"

QString CliReport::endingName(RowStatus::State state)
{
    switch (state) {
    case RowStatus::State::Complete:
        return FileListStatus::Complete;
    case RowStatus::State::Cancelled:
        return FileListStatus::Cancelled;
    default:
        return FileListStatus::Error;
    }
}

bool CliReport::isFailure(RowStatus::State state)
{
    return state != RowStatus::State::Complete && state != RowStatus::State::Cancelled;
}
