#pragma once

#include "filelist/RowStatus.h"

#include <QString>

// How one row of a batch ended.
struct RowEnding
{
    enum class Kind {
        Complete,
        Failed,
        Cancelled,
        UnknownFormat, // the encoder said it cannot read the input
    };
    Kind kind = Kind::Failed;
    QString input;
    QString output;       // the file written; empty when none
    QString reason;       // why it failed, where the user is told; empty when the batch says it
    QString log;          // what the row's log holds of this run
    bool skipped = false; // output is an earlier run's result: nothing was converted

    // The Status it leaves: Complete, Error or Cancelled.
    RowStatus::State state() const
    {
        return kind == Kind::Complete    ? RowStatus::State::Complete
               : kind == Kind::Cancelled ? RowStatus::State::Cancelled
                                         : RowStatus::State::Error;
    }
};
