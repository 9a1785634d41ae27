#pragma once

#include "platform/KeySender.h"

#include <QList>
#include <functional>

namespace vima {

// Records the shortcuts sent; `onSend` plays the focused application's part.
class FakeKeySender final : public KeySender {
public:
    bool canSend = true;
    QList<Shortcut> sent;
    QList<KeyChord> chords;
    std::function<void(Shortcut)> onSend;
    // What the target's window is and where the focus is.
    Keys keys = Keys::editor;
    Focus focus = Focus::inTarget;

    QCoro::Task<bool> send(Shortcut shortcut) override
    {
        if (!canSend || keys == Keys::none)
            co_return false;
        sent.append(shortcut);
        if (onSend)
            onSend(shortcut);
        co_return true;
    }

    QCoro::Task<bool> sendChord(KeyChord chord) override
    {
        if (!canSend)
            co_return false;
        chords.append(chord);
        co_return true;
    }

    Keys keysOf(const std::optional<RunningApplication> &) const override { return keys; }
    Focus focusOf(const RunningApplication &) const override { return focus; }
};

} // namespace vima
