#pragma once

#include <QtGlobal>
#include <optional>

class QKeyEvent;

namespace vima {

// The configuration's key code (Space = 49) of the physical key behind a key
// event delivered to one of our windows, whatever the layout types on it.
class KeyEventCodes {
public:
    virtual ~KeyEventCodes() = default;

    // None for a key that has no key code.
    virtual std::optional<quint32> keyCode(const QKeyEvent &event) const = 0;
};

} // namespace vima
