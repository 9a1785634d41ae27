#pragma once

#include "async/Scheduler.h"
#include "platform/KeySender.h"

#include <QList>
#include <functional>
#include <xcb/xcb.h>

namespace vima {

// Ctrl+C and Ctrl+V through XTest, to the window that has the focus. Drops any
// keyboard grab of ours first and waits (bounded) until the user has let go of
// every modifier, so a held Alt cannot turn the shortcut into another one.
// Terminal emulators get Ctrl+Shift+C/V: Ctrl+C there interrupts a program;
// windows where neither copies or pastes (xterm, Emacs, gvim, xedit) get nothing.
class X11KeySender final : public KeySender {
public:
    explicit X11KeySender(Scheduler &scheduler = Scheduler::system());

    QCoro::Task<bool> send(Shortcut shortcut) override;
    QCoro::Task<bool> sendChord(KeyChord chord) override;
    Keys keysOf(const std::optional<RunningApplication> &target) const override;
    Focus focusOf(const RunningApplication &target) const override;

    // What a window class (WM_CLASS instance and class) says of its keys.
    static Keys keysFor(const QStringList &windowClass);

private:
    // The keys pressed in order and let go in reverse, once the way is clear;
    // `chord` makes them from the connection, empty when it cannot.
    QCoro::Task<bool> press(std::function<QList<xcb_keycode_t>(xcb_connection_t *)> chord);
    QCoro::Task<void> waitForModifiersUp(xcb_connection_t *connection);
    QList<xcb_keycode_t> heldModifiers(xcb_connection_t *connection) const;

    Scheduler &scheduler_;
};

} // namespace vima
