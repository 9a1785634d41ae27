#pragma once

#include "platform/RunningApplication.h"
#include "platform/x11/X11BareElement.h"

namespace vima {

// What X11 offers of an application's text: the PRIMARY selection, counted as
// the application's selected text only while it owns it (a stale selection of
// another program is no answer). There is no tree to walk and nothing can be
// written through it.
class X11SelectionElement final : public X11BareElement {
public:
    explicit X11SelectionElement(RunningApplication app) : app_(std::move(app)) {}

    void setMessagingTimeout(double seconds) override { timeout_ = seconds; }
    // Read on a worker thread; see x11::readOffThread.
    QCoro::Task<AXAnswer<QString>> selectedText(CancellationToken token) override;
    // Qt 5 and 6 keep owning PRIMARY after the selection collapses.
    bool mayOutliveSelection() const override { return true; }

private:
    RunningApplication app_;
    double timeout_ = 0.6;
};

} // namespace vima
