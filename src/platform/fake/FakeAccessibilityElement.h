#pragma once

#include "platform/AccessibilityElement.h"

namespace vima {

// An element whose every answer is set by the test. Children are kept as
// given; `calls` counts reads of the selected text.
class FakeAccessibilityElement final : public AccessibilityElement {
public:
    using Pointer = std::shared_ptr<FakeAccessibilityElement>;

    static Pointer make() { return std::make_shared<FakeAccessibilityElement>(); }

    Pointer focused;
    Pointer window;
    std::optional<QList<AccessibilityElement::Pointer>> childList = QList<AccessibilityElement::Pointer>{};
    AXAnswer<QString> selected = AXAnswer<QString>::failure();
    std::optional<TextRange> range;
    std::optional<QString> rangeString;
    std::optional<QString> fullValue;
    std::optional<bool> settable = false;
    bool acceptsWrite = true;

    double messagingTimeout = 0;
    int selectedTextReads = 0;
    QList<QString> written;

    void setMessagingTimeout(double seconds) override { messagingTimeout = seconds; }
    AccessibilityElement::Pointer focusedElement() override { return focused; }
    AccessibilityElement::Pointer focusedWindow() override { return window; }
    std::optional<QList<AccessibilityElement::Pointer>> children() override { return childList; }
    AXAnswer<QString> selectedText() override
    {
        ++selectedTextReads;
        return selected;
    }
    std::optional<TextRange> selectedTextRange() override { return range; }
    std::optional<QString> stringForRange(TextRange) override { return rangeString; }
    std::optional<QString> value() override { return fullValue; }
    std::optional<bool> isSelectedTextSettable() override { return settable; }
    bool setSelectedText(const QString &text) override
    {
        if (!acceptsWrite)
            return false;
        written.append(text);
        return true;
    }
};

} // namespace vima
