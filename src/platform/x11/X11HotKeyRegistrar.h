#pragma once

#include "platform/HotKeyRegistrar.h"

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QObject>
#include <map>
#include <memory>
#include <optional>
#include <xcb/xcb.h>

struct xkb_context;
struct xkb_keymap;

namespace vima {

class X11KeyboardGrab;

// Hot keys as passive key grabs on the root window. Each combination is
// grabbed with every lock variant (Caps Lock, Num Lock) so that locks don't
// swallow it, re-grabbed when the keymap changes, and held keys report one
// press and one release: auto-repeat is ignored.
class X11HotKeyRegistrar final : public HotKeyRegistrar, public QAbstractNativeEventFilter {
public:
    // `keyboard`, when given, holds the keyboard from the moment a hot key's
    // press arrives until its handlers have run.
    explicit X11HotKeyRegistrar(X11KeyboardGrab *keyboard = nullptr);
    ~X11HotKeyRegistrar() override;

    Registration registerHotKey(quint32 keyCode, quint64 modifierFlags, HotKeyID id) override;
    void unregisterHotKey(HotKeyRef ref) override;
    Installation installHandler(Handler handler) override;
    void removeHandler(HandlerRef ref) override;
    QString translateKey(quint16 keyCode) const override;

    // A grab of the combination that the server refuses with BadAccess, taken
    // back at once; false for one of ours.
    bool isHeldElsewhere(quint32 keyCode, quint64 modifierFlags) const;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    struct Grab {
        xcb_keycode_t keycode = 0;
        uint16_t modifiers = 0;
        HotKeyID id;
        QList<uint16_t> grabbedMasks;
        bool down = false;
    };

    bool holds(const Grab &grab) const;
    qint32 grab(Grab &grab) const;
    QString combinationName(const Grab &grab) const;
    void ungrab(Grab &grab) const;
    void regrabAll();
    uint16_t numLockMask() const;
    uint16_t lockMasks() const;
    bool keyPressed(const xcb_key_press_event_t *event);
    bool keyReleased(const xcb_key_release_event_t *event);
    bool passEarlyKey(const xcb_key_press_event_t *event);
    std::optional<QString> charactersOf(const xcb_key_press_event_t *event) const;
    void thaw(const xcb_key_press_event_t *event);
    bool isHeld(xcb_keycode_t keycode) const;
    bool isRepeatAfterRelease(const xcb_key_press_event_t *event) const;
    bool isDown(xcb_keycode_t keycode) const;
    void released(xcb_keycode_t keycode);
    bool isKeymapChange(const xcb_generic_event_t *event) const;
    void dispatch(const HotKeyEvent &event) const;
    xkb_keymap *keymap() const;

    X11KeyboardGrab *keyboard_;
    xcb_connection_t *connection_;
    xcb_window_t root_;
    std::optional<uint8_t> xinputOpcode_;
    uint8_t xkbFirstEvent_ = 0;
    uint16_t numLock_ = 0;
    quint64 next_ = 1;
    struct Release {
        xcb_keycode_t keycode = 0;
        xcb_timestamp_t time = 0;
    };
    std::optional<Release> lastRelease_;
    QObject context_;
    std::map<HotKeyRef, Grab> grabs_;
    std::map<HandlerRef, Handler> handlers_;
    std::unique_ptr<xkb_context, void (*)(xkb_context *)> xkbContext_;
    mutable std::unique_ptr<xkb_keymap, void (*)(xkb_keymap *)> keymap_;
};

} // namespace vima
