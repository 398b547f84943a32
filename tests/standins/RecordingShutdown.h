#pragma once

#include "services/ShutdownBackend.h"

#include <QList>

// Records power-off requests; the machine is never touched.
class RecordingShutdown : public ShutdownBackend
{
public:
    void enablePrivilege() override {}
    void request(ShutdownAction action) override { requests << action; }

    QList<ShutdownAction> requests;
};
