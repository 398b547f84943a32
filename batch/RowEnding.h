#pragma once

#include "filelist/RowStatus.h"

#include <QString>

// How one row of a batch ended, for front ends that report rows by name.
struct RowEnding
{
    QString input;
    RowStatus::State state = RowStatus::State::Error; // Complete, Error or Cancelled
    QString output;                                   // the file written; empty when none
    QString reason;                                   // why it failed, where known
    bool skipped = false; // output is an earlier run's result: nothing was converted
};
