#pragma once

#include "batch/BatchChoices.h"

#include <QSet>
#include <QString>

// The result an earlier run left for an input, so that a batch that skips existing results
// converts each file once: the first of the input's output names (base.ext, then
// base_Converted.ext, ...) that holds a whole result. A broken file under the plain name
// leaves the names after it to be looked at, where a later run put its result.
class EarlierResult
{
public:
    struct Found
    {
        QString path; // empty when no name holds a whole result
        QString log;  // what was found under each name, for the row's log
    };
    // Reads the files; takes a while, so it runs off the window thread. lengthMs is the
    // input's length, -1 when unknown.
    // Names in taken (results of other inputs) are passed over.
    static Found find(const QString &input, const BatchChoices &choices, qint64 lengthMs,
                      const QSet<QString> &taken);
    // The name a result of input takes when none exists yet: its plain name, unless that is
    // the input itself or in taken; then the next one. Empty when every name is.
    static QString plainName(const QString &input, const BatchChoices &choices,
                             const QSet<QString> &taken = {});
};
