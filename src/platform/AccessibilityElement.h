#pragma once

#include "async/CancellationToken.h"

#include <QCoroTask>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

namespace vima {

// A range of a text in UTF-16 units.
struct TextRange {
    qint64 location = 0;
    qint64 length = 0;
    bool operator==(const TextRange &) const = default;
};

// The answer to one attribute read: a value, an explicit "no value", a
// failure (attribute missing, call failed, timed out), or a value over the
// ceiling of what is read (nothing of it kept).
template<typename T>
struct AXAnswer {
    enum class Status { value, noValue, failed, tooLarge };

    Status status = Status::failed;
    std::optional<T> value;

    static AXAnswer of(T v) { return {Status::value, std::move(v)}; }
    static AXAnswer none() { return {Status::noValue, std::nullopt}; }
    static AXAnswer failure() { return {Status::failed, std::nullopt}; }
    static AXAnswer tooLarge() { return {Status::tooLarge, std::nullopt}; }
};

// One node of an application's accessibility tree.
class AccessibilityElement {
public:
    using Pointer = std::shared_ptr<AccessibilityElement>;

    virtual ~AccessibilityElement() = default;

    // Bounds every later call on this element.
    virtual void setMessagingTimeout(double seconds) = 0;

    virtual Pointer focusedElement() = 0;
    virtual Pointer focusedWindow() = 0;
    // Nothing when the read failed.
    virtual std::optional<QList<Pointer>> children() = 0;

    // May wait on another program: never on the GUI thread. Throws Cancelled
    // once the token is cancelled.
    virtual QCoro::Task<AXAnswer<QString>> selectedText(CancellationToken token) = 0;
    // Whether the selected text it gives may outlive the selection, as X11's
    // PRIMARY does in Qt programs: such a text wants confirming.
    virtual bool mayOutliveSelection() const { return false; }
    virtual std::optional<TextRange> selectedTextRange() = 0;
    virtual std::optional<QString> stringForRange(TextRange range) = 0;
    virtual std::optional<QString> value() = 0;

    // Nothing when the question itself failed.
    virtual std::optional<bool> isSelectedTextSettable() = 0;
    virtual bool setSelectedText(const QString &text) = 0;
};

} // namespace vima
