#include "platform/x11/X11Accessibility.h"

#include "platform/x11/X11BareElement.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11SelectionElement.h"

#include <xcb/xtest.h>

namespace vima {
namespace {

// The focused element of an application: its selection.
class X11ApplicationElement final : public X11BareElement {
public:
    explicit X11ApplicationElement(const RunningApplication &app) : selection_(std::make_shared<X11SelectionElement>(app))
    {
    }

    void setMessagingTimeout(double seconds) override { selection_->setMessagingTimeout(seconds); }
    Pointer focusedElement() override { return selection_; }

private:
    std::shared_ptr<X11SelectionElement> selection_;
};

// The system-wide root: nothing focused, nothing to search.
class X11EmptyElement final : public X11BareElement {
public:
    std::optional<bool> isSelectedTextSettable() override { return std::nullopt; }
};

} // namespace

bool X11Accessibility::isTrusted() const
{
    xcb_connection_t *connection = x11::connection();
    if (!connection)
        return false;
    const xcb_query_extension_reply_t *xtest = xcb_get_extension_data(connection, &xcb_test_id);
    return xtest && xtest->present;
}

AccessibilityElement::Pointer X11Accessibility::applicationElement(const RunningApplication &app)
{
    return std::make_shared<X11ApplicationElement>(app);
}

AccessibilityElement::Pointer X11Accessibility::systemWideElement() { return std::make_shared<X11EmptyElement>(); }

QCoro::Task<std::optional<bool>> X11Accessibility::focusTakesTyping(RunningApplication app)
{
    return focus_.focusIsEditable(app.pid);
}

} // namespace vima
