#pragma once

#include "settings/general/HotkeyRecorderModel.h"

#include <QWidget>

class QPushButton;
class QVariantAnimation;

namespace vima {

class KeyboardGrab;
class RecorderButton;
class StatusLine;
class ToneLabel;
struct SettingsContext;

// The hotkey control: a button showing the hotkey that records a new one when
// clicked (or given Space), Reset or Cancel beside it, and why a combination
// was refused below. Bound to the configuration's hotkey and to whether
// registering it failed; a recording leaves off when the control is hidden.
class HotkeyRecorderView final : public QWidget {
    Q_OBJECT

public:
    explicit HotkeyRecorderView(SettingsContext &context, QWidget *parent = nullptr);
    ~HotkeyRecorderView() override;

    HotkeyRecorderModel *model() { return &model_; }
    QPushButton *recorderButton() const;

Q_SIGNALS:
    // After a recording or Reset wrote the hotkey.
    void hotkeyChosen(const HotkeySpec &hotkey);

protected:
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void bind(SettingsContext &context);
    void refresh();
    void fadeRefusal(bool shown);
    // Holds the keyboard exactly while recording.
    void followRecording();

    HotkeyRecorderModel model_;
    KeyboardGrab &keyboard_;
    bool holdsKeyboard_ = false;
    RecorderButton *button_;
    QPushButton *reset_;
    QPushButton *cancel_;
    StatusLine *unavailable_;
    StatusLine *refusal_;
    ToneLabel *refusalHint_;
    QVariantAnimation *fade_;
    QString shownRefusal_;
};

} // namespace vima
