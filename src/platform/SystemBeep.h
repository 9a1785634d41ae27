#pragma once

namespace vima {

// The system's alert sound, for refused input.
class SystemBeep {
public:
    virtual ~SystemBeep() = default;

    virtual void beep() = 0;
};

} // namespace vima
