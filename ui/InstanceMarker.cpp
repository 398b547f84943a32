#include "ui/InstanceMarker.h"

#include <QDir>
#include <QStandardPaths>

InstanceMarker::InstanceMarker()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    m_lock = std::make_unique<QLockFile>(folder + QStringLiteral("/Tarnwickreelforge.lock"));
    // Whether another copy holds it is of no interest.
    m_lock->tryLock(0);
}
