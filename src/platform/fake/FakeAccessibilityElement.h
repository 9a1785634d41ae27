#pragma once

#include "platform/AccessibilityElement.h"

#include <functional>

namespace vima {

// An element whose every answer is set by the test. `onSelectedTextRead`
// runs at each read of the selected text (a slow application, say).
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
    bool outlivesSelection = false;

    std::function<void()> onSelectedTextRead;

    double messagingTimeout = 0;
    int selectedTextReads = 0;
    QList<QString> written;

    void setMessagingTimeout(double seconds) override { messagingTimeout = seconds; }
    AccessibilityElement::Pointer focusedElement() override { return focused; }
    AccessibilityElement::Pointer focusedWindow() override { return window; }
    std::optional<QList<AccessibilityElement::Pointer>> children() override { return childList; }
    QCoro::Task<AXAnswer<QString>> selectedText(CancellationToken) override
    {
        ++selectedTextReads;
        if (onSelectedTextRead)
            onSelectedTextRead();
        co_return selected;
    }
    bool mayOutliveSelection() const override { return outlivesSelection; }
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
