#pragma once

#include <QObject>

namespace vima {

// Whether another application holds the configured hotkey, relayed by the
// composition root from the environment (which settings cannot include).
// Read failed() once and connect changed(); it emits only on a change.
class HotkeyFailureFlag final : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    bool failed() const { return failed_; }
    void setFailed(bool failed);

Q_SIGNALS:
    void changed(bool failed);

private:
    bool failed_ = false;
};

} // namespace vima
