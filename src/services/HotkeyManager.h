#pragma once

#include "model/KeyChord.h"
#include "model/Settings.h"
#include "platform/HotKeyRegistrar.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

namespace vima {

// The one global hotkey: registers it with the system and turns its pressed
// and released events into callbacks on the main thread. Also names hotkeys for
// display ("Alt+Space").
class HotkeyManager : public QObject {
    Q_OBJECT

public:
    static constexpr quint32 signature = 0x56494D41; // 'VIMA'
    static constexpr quint32 hotKeyNumber = 1;

    explicit HotkeyManager(HotKeyRegistrar &registrar, QObject *parent = nullptr);
    ~HotkeyManager() override;

    // With where the pointer was as the key went down, when the system says.
    std::function<void(std::optional<QPointF> pointer)> onPressed;
    std::function<void()> onReleased;

    // True when the combination is registered afterwards. Registering the live
    // combination again touches nothing.
    bool registerHotkey(quint32 keyCode, quint64 modifierFlags);
    void unregister();
    std::optional<HotkeySpec> registered() const { return registered_; }

    static QString displayName(quint32 keyCode, quint64 modifierFlags);
    // A keystroke slot's keys, its character upper-cased as on the key.
    static QString displayName(const KeyChord &chord);
    // The modifiers alone, each followed by "+", in the order Ctrl, Alt, Shift, Super.
    static QString modifierNames(quint64 modifierFlags);
    static QString keyName(quint32 keyCode);

    // The most recently created manager, while it exists.
    static HotkeyManager *current();

private:
    void installHandler();
    static qint32 handleEvent(const HotKeyEvent &event);
    void deliver(quint32 kind, const std::optional<QPointF> &pointer) const;

    HotKeyRegistrar &registrar_;
    std::optional<HotKeyRegistrar::HotKeyRef> hotKeyRef_;
    std::optional<HotKeyRegistrar::HandlerRef> eventHandler_;
    std::optional<HotkeySpec> registered_;
};

} // namespace vima
