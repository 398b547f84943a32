#pragma once

#include <QList>
#include <QStringList>

class CVideoConv;

// Everything a job reports, in order: statuses as they are, progress as "progress N".
class JobEvents
{
public:
    explicit JobEvents(CVideoConv &job);

    QStringList all;
    QStringList statuses;
    QList<int> progress;
};
