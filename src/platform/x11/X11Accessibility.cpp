#include "platform/x11/X11Accessibility.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11SelectionElement.h"

#include <xcb/xtest.h>

namespace vima {
namespace {

// The focused element of an application: its selection.
class X11ApplicationElement final : public AccessibilityElement {
public:
    explicit X11ApplicationElement(qint64 pid) : selection_(std::make_shared<X11SelectionElement>(pid)) {}

    void setMessagingTimeout(double seconds) override { selection_->setMessagingTimeout(seconds); }
    Pointer focusedElement() override { return selection_; }
    Pointer focusedWindow() override { return {}; }
    std::optional<QList<Pointer>> children() override { return std::nullopt; }
    AXAnswer<QString> selectedText() override { return AXAnswer<QString>::failure(); }
    std::optional<TextRange> selectedTextRange() override { return std::nullopt; }
    std::optional<QString> stringForRange(TextRange) override { return std::nullopt; }
    std::optional<QString> value() override { return std::nullopt; }
    std::optional<bool> isSelectedTextSettable() override { return false; }
    bool setSelectedText(const QString &) override { return false; }

private:
    std::shared_ptr<X11SelectionElement> selection_;
};

// The system-wide root: nothing focused, nothing to search.
class X11EmptyElement final : public AccessibilityElement {
public:
    void setMessagingTimeout(double) override {}
    Pointer focusedElement() override { return {}; }
    Pointer focusedWindow() override { return {}; }
    std::optional<QList<Pointer>> children() override { return std::nullopt; }
    AXAnswer<QString> selectedText() override { return AXAnswer<QString>::failure(); }
    std::optional<TextRange> selectedTextRange() override { return std::nullopt; }
    std::optional<QString> stringForRange(TextRange) override { return std::nullopt; }
    std::optional<QString> value() override { return std::nullopt; }
    std::optional<bool> isSelectedTextSettable() override { return std::nullopt; }
    bool setSelectedText(const QString &) override { return false; }
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

AccessibilityElement::Pointer X11Accessibility::applicationElement(qint64 pid)
{
    return std::make_shared<X11ApplicationElement>(pid);
}

AccessibilityElement::Pointer X11Accessibility::systemWideElement() { return std::make_shared<X11EmptyElement>(); }

} // namespace vima
