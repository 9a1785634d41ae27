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

quint64 X11KeyEventCodes::modifierFlags(const QKeyEvent &event) const
{
    quint64 flags = x11::modifierFlags(static_cast<uint16_t>(event.nativeModifiers()));
    // Where a layout makes right Alt into AltGr, it holds no Option.
    const auto code = keyCode(event);
    const quint64 own = code && event.key() != Qt::Key_AltGr ? x11::modifierKeyFlag(*code) : 0;
    return event.type() == QEvent::KeyRelease ? flags & ~own : flags | own;
}

} // namespace vima
