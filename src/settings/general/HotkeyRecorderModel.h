#pragma once

#include "model/Settings.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QKeyEvent;

namespace vima {

class KeyEventCodes;
class SystemShortcuts;

// The hotkey recorder: idle, or recording the next key combination. While it
// records, an application event filter takes every key press, modifier change
// and shortcut before any window sees them.
class HotkeyRecorderModel final : public QObject {
    Q_OBJECT

public:
    static constexpr HotkeySpec resetValue{keys::space, HotkeySpec::option};

    HotkeyRecorderModel(const SystemShortcuts &shortcuts, const KeyEventCodes &keyCodes,
                        QObject *parent = nullptr);

    // The system beep for refused input; installed by the owner.
    std::function<void()> beep;

    HotkeySpec hotkey() const { return hotkey_; }
    // The bound value as the owner holds it now; writes nothing back.
    void setHotkey(const HotkeySpec &hotkey);
    bool isUnavailable() const { return unavailable_; }
    void setUnavailable(bool unavailable);

    bool isRecording() const { return recording_; }
    quint64 liveModifiers() const { return liveModifiers_; }
    QString refusal() const { return refusal_; }

    QString label() const;
    QString buttonToolTip() const;
    // The line under a refusal.
    QString refusalHint() const;
    bool showsUnavailable() const;
    static QString resetToolTip();

    void toggleRecording();
    void stopRecording();
    void resetToDefault();

Q_SIGNALS:
    // A committed recording or Reset: the value to write to the binding.
    void hotkeyChosen(const HotkeySpec &hotkey);
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void startRecording();
    void modifiersChanged(quint64 modifiers);
    void keyDown(std::optional<quint32> keyCode, quint64 modifiers);
    void refuse(const QString &refusal);
    void write(const HotkeySpec &hotkey);

    const SystemShortcuts &shortcuts_;
    const KeyEventCodes &keyCodes_;
    HotkeySpec hotkey_;
    bool unavailable_ = false;
    bool recording_ = false;
    quint64 liveModifiers_ = 0;
    QString refusal_;
};

} // namespace vima
