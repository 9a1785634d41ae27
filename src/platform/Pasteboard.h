#pragma once

#include "platform/PasteboardSnapshot.h"
#include "platform/RunningApplication.h"

#include <QCoroTask>
#include <QString>
#include <optional>

namespace vima {

// The general clipboard.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;

    // Every format the clipboard holds. Nothing when its owner did not answer
    // in time: such a read says nothing about the contents and must never be
    // restored.
    virtual QCoro::Task<std::optional<PasteboardSnapshot>> capture() = 0;
    // Puts the snapshot back; an empty one leaves the clipboard empty.
    virtual void restore(const PasteboardSnapshot &snapshot) = 0;

    virtual void clear() = 0;
    virtual void setText(const QString &text) = 0;
    // The plain text on the clipboard, when it holds one (bounded wait).
    virtual QCoro::Task<std::optional<QString>> text() = 0;

    // Whether the application holds the clipboard; nothing when the system
    // cannot tell.
    virtual std::optional<bool> isOwnedBy(const RunningApplication &app) const = 0;
    // Grows each time the clipboard changes owner or contents.
    virtual quint64 changeCount() const = 0;
    // Grows each time another application asks for what we put on it.
    virtual quint64 requestCount() const = 0;
};

} // namespace vima
