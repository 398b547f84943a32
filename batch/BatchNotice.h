#pragma once

#include <QString>

// A problem of the whole batch, not of one row: nothing can be written where the results go,
// so the batch stopped. The front end decides how to tell it.
struct BatchNotice
{
    QString reason; // what happened, naming the folder, then the encoder's own line if any
};
