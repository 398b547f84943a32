#pragma once

#include "services/ShutdownBackend.h"

#include <QList>

// Records power-off requests; the machine is never touched.
class RecordingShutdown : public ShutdownBackend
{
public:
    void enablePrivilege() override { ++privilegeRequests; }
    void request(ShutdownAction action) override { requests << action; }

    int privilegeRequests = 0;
    QList<ShutdownAction> requests;
};
