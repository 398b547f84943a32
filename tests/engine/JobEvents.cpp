#include "JobEvents.h"

#include "CVideoConv.h"

JobEvents::JobEvents(CVideoConv &job)
{
    QObject::connect(&job, &CVideoConv::CurrentStatus, &job, [this](const QString &status) {
        all << status;
        statuses << status;
    });
    QObject::connect(&job, &CVideoConv::Progress, &job, [this](qint16 percent) {
        all << QStringLiteral("progress %1").arg(percent);
        progress << percent;
    });
}
