#include "settings/general/HotkeyRecorderModel.h"

#include "platform/KeyEventCodes.h"
#include "services/HotkeyManager.h"
#include "services/SystemShortcuts.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace vima {

namespace {

bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_Mode_switch:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}

} // namespace

HotkeyRecorderModel::HotkeyRecorderModel(const SystemShortcuts &shortcuts, const KeyEventCodes &keyCodes,
                                         QObject *parent)
    : QObject(parent), shortcuts_(shortcuts), keyCodes_(keyCodes)
{
}

void HotkeyRecorderModel::setHotkey(const HotkeySpec &hotkey)
{
    if (hotkey_ == hotkey)
        return;
    hotkey_ = hotkey;
    Q_EMIT changed();
}

void HotkeyRecorderModel::setUnavailable(bool unavailable)
{
    if (unavailable_ == unavailable)
        return;
    unavailable_ = unavailable;
    Q_EMIT changed();
}

QString HotkeyRecorderModel::label() const
{
    if (!recording_)
        return HotkeyManager::displayName(hotkey_.keyCode, hotkey_.modifierFlags);
    const QString held = HotkeyManager::modifierNames(liveModifiers_);
    return held.isEmpty() ? QStringLiteral("Press keys\u2026") : held + QStringLiteral("\u2026");
}

QString HotkeyRecorderModel::buttonToolTip() const
{
    return recording_ ? QStringLiteral("Press a key combination, or Esc to cancel")
                      : QStringLiteral("Click to record a new shortcut");
}

QString HotkeyRecorderModel::refusalHint() const
{
    return recording_ ? QStringLiteral("Press a different combination.")
                      : QStringLiteral("Nothing was changed \u2014 try a different combination.");
}

bool HotkeyRecorderModel::showsUnavailable() const
{
    return unavailable_ && !recording_ && refusal_.isEmpty();
}

QString HotkeyRecorderModel::resetToolTip()
{
    return QStringLiteral("Back to ") + HotkeyManager::displayName(resetValue.keyCode, resetValue.modifierFlags);
}

void HotkeyRecorderModel::toggleRecording()
{
    if (recording_)
        stopRecording();
    else
        startRecording();
}

void HotkeyRecorderModel::startRecording()
{
    recording_ = true;
    liveModifiers_ = 0;
    refusal_.clear();
    QCoreApplication::instance()->installEventFilter(this);
    Q_EMIT changed();
}

void HotkeyRecorderModel::stopRecording()
{
    QCoreApplication::instance()->removeEventFilter(this);
    if (!recording_)
        return;
    recording_ = false;
    liveModifiers_ = 0;
    Q_EMIT changed();
}

void HotkeyRecorderModel::resetToDefault()
{
    refusal_.clear();
    write(resetValue);
}

bool HotkeyRecorderModel::eventFilter(QObject *, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::ShortcutOverride) {
        // Taken as the focus widget's own key, so no shortcut fires; the press
        // that follows comes here too.
        event->accept();
        return true;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (isModifierKey(key->key()))
        modifiersChanged(keyCodes_.modifierFlags(*key) & HotkeySpec::modifierMask);
    else if (type == QEvent::KeyPress)
        keyDown(keyCodes_.keyCode(*key), keyCodes_.modifierFlags(*key) & HotkeySpec::modifierMask);
    else
        return false;
    event->accept();
    return true;
}

void HotkeyRecorderModel::modifiersChanged(quint64 modifiers)
{
    if (liveModifiers_ == modifiers)
        return;
    liveModifiers_ = modifiers;
    Q_EMIT changed();
}

void HotkeyRecorderModel::keyDown(std::optional<quint32> keyCode, quint64 modifiers)
{
    if (!keyCode) {
        if (beep)
            beep();
        return;
    }
    const HotkeySpec combination{*keyCode, modifiers};
    if (*keyCode == keys::escape && !combination.isUsable()) {
        stopRecording();
        return;
    }
    if (!combination.isUsable()) {
        refuse(QStringLiteral("A shortcut needs at least one modifier key (Ctrl, Alt, Shift or Super)."));
        return;
    }
    if (const auto reserved = shortcuts_.reservation(*keyCode, modifiers)) {
        refuse(reserved->name);
        return;
    }
    refusal_.clear();
    stopRecording();
    write(combination);
}

void HotkeyRecorderModel::refuse(const QString &refusal)
{
    refusal_ = refusal;
    if (beep)
        beep();
    Q_EMIT changed();
}

void HotkeyRecorderModel::write(const HotkeySpec &hotkey)
{
    hotkey_ = hotkey;
    Q_EMIT hotkeyChosen(hotkey);
    Q_EMIT changed();
}

} // namespace vima
