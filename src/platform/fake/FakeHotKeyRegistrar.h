#pragma once

#include "platform/HotKeyRegistrar.h"

#include <QHash>
#include <QList>
#include <map>

namespace vima {

// Hot keys in memory: records what is registered and delivers events on demand.
class FakeHotKeyRegistrar final : public HotKeyRegistrar {
public:
    struct Key {
        quint32 keyCode = 0;
        quint64 modifierFlags = 0;
        HotKeyID id;

        bool operator==(const Key &) const = default;
    };

    Registration registerHotKey(quint32 keyCode, quint64 modifierFlags, HotKeyID id) override;
    void unregisterHotKey(HotKeyRef ref) override;
    Installation installHandler(Handler handler) override;
    void removeHandler(HandlerRef ref) override;
    QString translateKey(quint16 keyCode) const override;

    // Passes the event down the handlers, newest first; the status of the one
    // that took it, else eventNotHandled.
    qint32 deliver(const HotKeyEvent &event) const;

    QList<Key> registeredKeys() const;
    int registerCalls = 0;
    int unregisterCalls = 0;
    // Combinations held elsewhere: registering them answers this status.
    QList<std::pair<quint32, quint64>> heldElsewhere;
    qint32 refusalStatus = 10; // BadAccess
    qint32 installStatus = noErr;
    QHash<quint16, QString> layout;
    qsizetype handlerCount() const { return static_cast<qsizetype>(handlers_.size()); }

private:
    quint64 next_ = 1;
    std::map<HotKeyRef, Key> keys_;
    std::map<HandlerRef, Handler> handlers_;
};

} // namespace vima
