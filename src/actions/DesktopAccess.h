#pragma once

#include "actions/ClipboardLane.h"
#include "async/Scheduler.h"
#include "platform/Accessibility.h"
#include "platform/ApplicationActivator.h"
#include "platform/KeySender.h"
#include "platform/Pasteboard.h"

namespace vima {

// The platform services through which the selection is read from, and text
// written into, the target application.
struct DesktopAccess {
    Accessibility &accessibility;
    Pasteboard &pasteboard;
    KeySender &keys;
    ApplicationActivator &activator;
    Scheduler &scheduler;
    // Shared by everything that takes the clipboard.
    ClipboardLane &clipboardLane;
};

} // namespace vima
