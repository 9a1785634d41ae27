#include "services/BusyEscape.h"

#include "model/KeyCodes.h"

#include <QCoreApplication>

namespace vima {

BusyEscape::BusyEscape(HotKeyRegistrar &registrar) : registrar_(registrar)
{
    const auto installation = registrar_.installHandler([this](const HotKeyEvent &event) { return handleEvent(event); });
    if (installation.status == HotKeyRegistrar::noErr)
        handler_ = installation.ref;
}

BusyEscape::~BusyEscape()
{
    setBusy(false);
    if (handler_)
        registrar_.removeHandler(*handler_);
}

void BusyEscape::setBusy(bool busy)
{
    if (busy == key_.has_value())
        return;
    if (!busy) {
        registrar_.unregisterHotKey(*key_);
        key_.reset();
        return;
    }
    const auto registration = registrar_.registerHotKey(keys::escape, 0, {signature, 1});
    if (registration.status == HotKeyRegistrar::noErr && registration.ref != 0)
        key_ = registration.ref;
}

qint32 BusyEscape::handleEvent(const HotKeyEvent &event)
{
    if (event.id.signature != signature)
        return HotKeyRegistrar::eventNotHandled;
    // Cancelling gives Escape back: never inside the system's event.
    if (event.kind == HotKeyEvent::pressed && onEscape)
        QMetaObject::invokeMethod(QCoreApplication::instance(), onEscape, Qt::QueuedConnection);
    return HotKeyRegistrar::noErr;
}

} // namespace vima
