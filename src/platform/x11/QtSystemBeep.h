#pragma once

#include "platform/SystemBeep.h"

namespace vima {

// The X server's bell, through QApplication::beep().
class QtSystemBeep final : public SystemBeep {
public:
    void beep() override;
};

} // namespace vima
