#pragma once

#include "platform/ApplicationActivator.h"

#include <QList>

namespace vima {

class FakeApplicationActivator final : public ApplicationActivator {
public:
    qint64 activePid = 0;
    QList<qint64> activated;

    bool isActive(const RunningApplication &app) const override { return app.pid == activePid; }
    bool activate(const RunningApplication &app) override
    {
        activated.append(app.pid);
        activePid = app.pid;
        return true;
    }
};

} // namespace vima
