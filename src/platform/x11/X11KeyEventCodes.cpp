#include "platform/x11/X11KeyEventCodes.h"

#include "platform/x11/X11KeyTable.h"

#include <QKeyEvent>

namespace vima {

std::optional<quint32> X11KeyEventCodes::keyCode(const QKeyEvent &event) const
{
    const quint32 keycode = event.nativeScanCode();
    if (keycode == 0 || keycode > 255)
        return std::nullopt;
    return x11::keyCode(static_cast<xcb_keycode_t>(keycode));
}

} // namespace vima
