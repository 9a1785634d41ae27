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

// Named as Linux desktops name them; other keys are named by the layout.
const QHash<quint32, QString> &keyNames()
{
    static const QHash<quint32, QString> names = [] {
        QHash<quint32, QString> table{
            {keys::space, QStringLiteral("Space")},
            {keys::returnKey, QStringLiteral("Return")},
            {keys::keypadEnter, QStringLiteral("Enter")},
            {keys::tab, QStringLiteral("Tab")},
            {keys::escape, QStringLiteral("Esc")},
            {keys::deleteKey, QStringLiteral("Backspace")},
            {keys::forwardDelete, QStringLiteral("Delete")},
            {keys::leftArrow, QStringLiteral("Left")},
            {keys::rightArrow, QStringLiteral("Right")},
            {keys::upArrow, QStringLiteral("Up")},
            {keys::downArrow, QStringLiteral("Down")},
            {keys::home, QStringLiteral("Home")},
            {keys::end, QStringLiteral("End")},
            {keys::pageUp, QStringLiteral("Page Up")},
            {keys::pageDown, QStringLiteral("Page Down")},
        };
        for (std::size_t i = 0; i < keys::functionKeys.size(); ++i)
            table.insert(keys::functionKeys[i], QStringLiteral("F%1").arg(qulonglong(i + 1)));
        return table;
    }();
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
    return modifierNames(modifierFlags) + keyName(keyCode);
}

QString HotkeyManager::displayName(const KeyChord &chord)
{
    if (const auto *code = std::get_if<quint32>(&chord.key))
        return displayName(*code, chord.modifierFlags);
    return modifierNames(chord.modifierFlags) + std::get<QString>(chord.key).toUpper();
}

QString HotkeyManager::modifierNames(quint64 modifierFlags)
{
    QString text;
    if (modifierFlags & HotkeySpec::control)
        text += QStringLiteral("Ctrl+");
    if (modifierFlags & HotkeySpec::option)
        text += QStringLiteral("Alt+");
    if (modifierFlags & HotkeySpec::shift)
        text += QStringLiteral("Shift+");
    if (modifierFlags & HotkeySpec::command)
        text += QStringLiteral("Super+");
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
