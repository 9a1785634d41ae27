#pragma once

#include "platform/ApplicationActivator.h"

#include <QList>

namespace vima {

// The front of a desktop in memory: one application, and one of its windows
// (0 stands for any window of it), and the windows open behind it.
class FakeApplicationActivator final : public ApplicationActivator {
public:
    enum class Activation { raises, isIgnored, isRefused };

    qint64 activePid = 0;
    quint32 activeWindow = 0;
    // What the window manager does with the next activations.
    Activation activation = Activation::raises;
    QList<qint64> activated;
    // Oldest first; found by their names.
    QList<RunningApplication> open;

    bool isActive(const RunningApplication &app) const override
    {
        return app.pid == activePid && (app.window == 0 || activeWindow == 0 || app.window == activeWindow);
    }
    std::optional<RunningApplication> openWindow(const AppIdentity &app) const override
    {
        for (auto it = open.crbegin(); it != open.crend(); ++it) {
            if (app.isNamedByAny(it->names()))
                return *it;
        }
        return std::nullopt;
    }
    bool activate(const RunningApplication &app) override
    {
        activated.append(app.pid);
        if (activation == Activation::raises) {
            activePid = app.pid;
            activeWindow = app.window;
        }
        return activation != Activation::isRefused;
    }
};

} // namespace vima
