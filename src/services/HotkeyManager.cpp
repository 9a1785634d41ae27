#include "services/HotkeyManager.h"

#include <QCoreApplication>
#include <QHash>
#include <QLoggingCategory>

namespace vima {

namespace {

Q_LOGGING_CATEGORY(lcHotkey, "com.vima.Vima.Hotkey")

QPointer<HotkeyManager> &currentManager()
{
    static QPointer<HotkeyManager> manager;
    return manager;
}

const QHash<quint32, QString> &keyNames()
{
    static const QHash<quint32, QString> names{
        {49, QStringLiteral("Space")},
        {36, QStringLiteral("\u21A9")},
        {48, QStringLiteral("\u21E5")},
        {53, QStringLiteral("\u238B")},
        {51, QStringLiteral("\u232B")},
        {117, QStringLiteral("\u2326")},
        {123, QStringLiteral("\u2190")},
        {124, QStringLiteral("\u2192")},
        {126, QStringLiteral("\u2191")},
        {125, QStringLiteral("\u2193")},
        {115, QStringLiteral("\u2196")},
        {119, QStringLiteral("\u2198")},
        {116, QStringLiteral("\u21DE")},
        {121, QStringLiteral("\u21DF")},
        {122, QStringLiteral("F1")},
        {120, QStringLiteral("F2")},
        {99, QStringLiteral("F3")},
        {118, QStringLiteral("F4")},
        {96, QStringLiteral("F5")},
        {97, QStringLiteral("F6")},
        {98, QStringLiteral("F7")},
        {100, QStringLiteral("F8")},
        {101, QStringLiteral("F9")},
        {109, QStringLiteral("F10")},
        {103, QStringLiteral("F11")},
        {111, QStringLiteral("F12")},
    };
    return names;
}

} // namespace

HotkeyManager::HotkeyManager(HotKeyRegistrar &registrar, QObject *parent)
    : QObject(parent), registrar_(registrar)
{
    currentManager() = this;
    installHandler();
}

HotkeyManager::~HotkeyManager()
{
    unregister();
    if (eventHandler_)
        registrar_.removeHandler(*eventHandler_);
}

HotkeyManager *HotkeyManager::current() { return currentManager(); }

bool HotkeyManager::registerHotkey(quint32 keyCode, quint64 modifierFlags)
{
    const HotkeySpec wanted{keyCode, modifierFlags};
    if (registered_ == wanted && hotKeyRef_)
        return true;
    unregister();
    const auto registration = registrar_.registerHotKey(keyCode, modifierFlags, {signature, hotKeyNumber});
    if (registration.status == HotKeyRegistrar::noErr && registration.ref != 0) {
        hotKeyRef_ = registration.ref;
        registered_ = wanted;
        return true;
    }
    return false; // the platform has said why
}

void HotkeyManager::unregister()
{
    if (hotKeyRef_)
        registrar_.unregisterHotKey(*hotKeyRef_);
    hotKeyRef_.reset();
    registered_.reset();
}

void HotkeyManager::installHandler()
{
    const auto installation = registrar_.installHandler(&HotkeyManager::handleEvent);
    if (installation.status != HotKeyRegistrar::noErr) {
        qCCritical(lcHotkey, "Could not install the hotkey handler (%d): no hotkey will arrive", installation.status);
        return;
    }
    eventHandler_ = installation.ref;
}

qint32 HotkeyManager::handleEvent(const HotKeyEvent &event)
{
    if (event.id.signature != signature)
        return HotKeyRegistrar::eventNotHandled;
    // Callbacks may re-register or grab the keyboard: never inside the system's event.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [kind = event.kind, pointer = event.pointer] {
            if (HotkeyManager *manager = current())
                manager->deliver(kind, pointer);
        },
        Qt::QueuedConnection);
    return HotKeyRegistrar::noErr;
}

void HotkeyManager::deliver(quint32 kind, const std::optional<QPointF> &pointer) const
{
    if (kind == HotKeyEvent::pressed && onPressed)
        onPressed(pointer);
    else if (kind == HotKeyEvent::released && onReleased)
        onReleased();
}

QString HotkeyManager::displayName(quint32 keyCode, quint64 modifierFlags)
{
    return modifierGlyphs(modifierFlags) + keyName(keyCode);
}

QString HotkeyManager::modifierGlyphs(quint64 modifierFlags)
{
    QString text;
    if (modifierFlags & HotkeySpec::control)
        text += QStringLiteral("\u2303");
    if (modifierFlags & HotkeySpec::option)
        text += QStringLiteral("\u2325");
    if (modifierFlags & HotkeySpec::shift)
        text += QStringLiteral("\u21E7");
    if (modifierFlags & HotkeySpec::command)
        text += QStringLiteral("\u2318");
    return text;
}

QString HotkeyManager::keyName(quint32 keyCode)
{
    const auto named = keyNames().constFind(keyCode);
    if (named != keyNames().constEnd())
        return *named;
    // Layouts only know 16-bit key codes.
    if (keyCode <= 0xFFFF) {
        if (HotkeyManager *manager = current()) {
            const QString typed = manager->registrar_.translateKey(static_cast<quint16>(keyCode));
            if (!typed.isEmpty())
                return typed.toUpper();
        }
    }
    return QStringLiteral("Key %1").arg(keyCode);
}

} // namespace vima
