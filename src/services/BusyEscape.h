#pragma once

#include "platform/HotKeyRegistrar.h"

#include <functional>
#include <optional>

namespace vima {

// While an action runs, Escape with no modifier cancels it from whatever
// application has the keyboard, as the busy indicator's "Cancel (Esc)" says:
// the indicator itself never takes the keyboard. Escape is taken only for
// that time, and left alone where another program holds it.
class BusyEscape {
public:
    static constexpr quint32 signature = 0x56494D45; // 'VIME'

    explicit BusyEscape(HotKeyRegistrar &registrar);
    ~BusyEscape();
    BusyEscape(const BusyEscape &) = delete;
    BusyEscape &operator=(const BusyEscape &) = delete;

    // Takes Escape while `busy`, gives it back otherwise.
    void setBusy(bool busy);

    std::function<void()> onEscape;

private:
    qint32 handleEvent(const HotKeyEvent &event);

    HotKeyRegistrar &registrar_;
    std::optional<HotKeyRegistrar::HotKeyRef> key_;
    std::optional<HotKeyRegistrar::HandlerRef> handler_;
};

} // namespace vima
