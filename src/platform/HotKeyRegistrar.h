#pragma once

#include <QPointF>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

namespace vima {

// Who a hot key belongs to: a four-character signature and a number, chosen by
// the owner when it registers the key.
struct HotKeyID {
    quint32 signature = 0;
    quint32 number = 0;

    bool operator==(const HotKeyID &) const = default;
};

struct HotKeyEvent {
    enum Kind : quint32 { pressed = 5, released = 6 };

    HotKeyID id;
    quint32 kind = pressed;
    // Where the pointer was as the key went down (global, logical), where the
    // system says: by the time the press is handled it may have moved on.
    std::optional<QPointF> pointer;
};

// System-wide hot keys. Key codes and modifier flags are in the configuration's
// encoding (Space = 49, Option = 0x80000); the implementation translates them.
class HotKeyRegistrar {
public:
    using HotKeyRef = quint64;
    using HandlerRef = quint64;
    // Answers noErr when it took the event, eventNotHandled to leave it to the
    // handlers installed before it.
    using Handler = std::function<qint32(const HotKeyEvent &event)>;

    static constexpr qint32 noErr = 0;
    static constexpr qint32 eventNotHandled = -9874;

    // status 0 with a reference, or the system's refusal (the X error code:
    // BadAccess when another client holds the combination) and no reference.
    struct Registration {
        qint32 status = noErr;
        HotKeyRef ref = 0;
    };
    struct Installation {
        qint32 status = noErr;
        HandlerRef ref = 0;
    };

    virtual ~HotKeyRegistrar() = default;

    virtual Registration registerHotKey(quint32 keyCode, quint64 modifierFlags, HotKeyID id) = 0;
    virtual void unregisterHotKey(HotKeyRef ref) = 0;

    // Handlers see every hot-key event, the most recently installed first.
    virtual Installation installHandler(Handler handler) = 0;
    virtual void removeHandler(HandlerRef ref) = 0;

    // What the key types in the current keyboard layout with no modifiers held;
    // empty when it types nothing printable.
    virtual QString translateKey(quint16 keyCode) const = 0;
};

} // namespace vima
