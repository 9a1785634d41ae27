#pragma once

#include "platform/AccessibilityElement.h"

namespace vima {

// An element of X11's stand-in for an accessibility tree: no tree to walk,
// nothing to read or write, unless a subclass says otherwise.
class X11BareElement : public AccessibilityElement {
public:
    void setMessagingTimeout(double) override {}
    Pointer focusedElement() override { return {}; }
    Pointer focusedWindow() override { return {}; }
    std::optional<QList<Pointer>> children() override { return std::nullopt; }
    QCoro::Task<AXAnswer<QString>> selectedText(CancellationToken) override
    {
        co_return AXAnswer<QString>::failure();
    }
    std::optional<TextRange> selectedTextRange() override { return std::nullopt; }
    std::optional<QString> stringForRange(TextRange) override { return std::nullopt; }
    std::optional<QString> value() override { return std::nullopt; }
    std::optional<bool> isSelectedTextSettable() override { return false; }
    bool setSelectedText(const QString &) override { return false; }
};

} // namespace vima
