#pragma once

#include "platform/AccessibilityElement.h"

namespace vima {

// What X11 offers of an application's text: the PRIMARY selection, counted as
// the application's selected text only while one of its windows owns it (a
// stale selection of another program is no answer). There is no tree to walk
// and nothing can be written through it.
class X11SelectionElement final : public AccessibilityElement {
public:
    explicit X11SelectionElement(qint64 pid) : pid_(pid) {}

    void setMessagingTimeout(double seconds) override { timeout_ = seconds; }
    Pointer focusedElement() override { return {}; }
    Pointer focusedWindow() override { return {}; }
    std::optional<QList<Pointer>> children() override { return std::nullopt; }
    AXAnswer<QString> selectedText() override;
    std::optional<TextRange> selectedTextRange() override { return std::nullopt; }
    std::optional<QString> stringForRange(TextRange) override { return std::nullopt; }
    std::optional<QString> value() override { return std::nullopt; }
    std::optional<bool> isSelectedTextSettable() override { return false; }
    bool setSelectedText(const QString &) override { return false; }

private:
    qint64 pid_;
    double timeout_ = 0.6;
};

} // namespace vima
