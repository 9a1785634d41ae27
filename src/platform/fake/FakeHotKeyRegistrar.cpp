#include "platform/fake/FakeHotKeyRegistrar.h"

namespace vima {

HotKeyRegistrar::Registration FakeHotKeyRegistrar::registerHotKey(quint32 keyCode, quint64 modifierFlags,
                                                                  HotKeyID id)
{
    ++registerCalls;
    if (heldElsewhere.contains(std::pair(keyCode, modifierFlags)))
        return {refusalStatus, 0};
    const HotKeyRef ref = next_++;
    keys_.emplace(ref, Key{keyCode, modifierFlags, id});
    return {noErr, ref};
}

void FakeHotKeyRegistrar::unregisterHotKey(HotKeyRef ref)
{
    ++unregisterCalls;
    keys_.erase(ref);
}

HotKeyRegistrar::Installation FakeHotKeyRegistrar::installHandler(Handler handler)
{
    if (installStatus != noErr)
        return {installStatus, 0};
    const HandlerRef ref = next_++;
    handlers_.emplace(ref, std::move(handler));
    return {noErr, ref};
}

void FakeHotKeyRegistrar::removeHandler(HandlerRef ref) { handlers_.erase(ref); }

QString FakeHotKeyRegistrar::translateKey(quint16 keyCode) const { return layout.value(keyCode); }

qint32 FakeHotKeyRegistrar::deliver(const HotKeyEvent &event) const
{
    for (auto it = handlers_.rbegin(); it != handlers_.rend(); ++it) {
        const qint32 status = it->second(event);
        if (status != eventNotHandled)
            return status;
    }
    return eventNotHandled;
}

QList<FakeHotKeyRegistrar::Key> FakeHotKeyRegistrar::registeredKeys() const
{
    QList<Key> keys;
    for (const auto &[ref, key] : keys_)
        keys.append(key);
    return keys;
}

} // namespace vima
