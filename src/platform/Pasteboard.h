#pragma once

#include "async/CancellationToken.h"
#include "platform/PasteboardSnapshot.h"
#include "platform/RunningApplication.h"
#include "platform/SelectionRead.h"

#include <QCoroTask>
#include <QString>
#include <optional>

namespace vima {

// The general clipboard.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;

    // Every format the clipboard holds (empty when nobody owns it), of at
    // most largestClipboardSnapshot bytes. A read that gives no value (its
    // owner did not answer in time, or offered more than that) says nothing
    // about the contents and must never be restored. Throws Cancelled.
    virtual QCoro::Task<SelectionRead<PasteboardSnapshot>> capture(CancellationToken token) = 0;
    // Puts the snapshot back; an empty one leaves the clipboard empty.
    virtual void restore(const PasteboardSnapshot &snapshot) = 0;

    // Lend the clipboard to an action, which gives it back with restore().
    virtual void clear() = 0;
    virtual void setText(const QString &text) = 0;
    // The plain text on the clipboard (bounded wait), of at most
    // largestSelectionText bytes. Throws Cancelled.
    virtual QCoro::Task<SelectionRead<QString>> text(CancellationToken token) = 0;

    // Whether the application holds the clipboard; nothing when the system
    // cannot tell.
    virtual std::optional<bool> isOwnedBy(const RunningApplication &app) const = 0;
    // Grows each time the clipboard changes owner or contents.
    virtual quint64 changeCount() const = 0;
    // Grows each time another application asks for what we put on it.
    virtual quint64 requestCount() const = 0;
};

} // namespace vima
