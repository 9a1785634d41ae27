#pragma once

#include <QCoroTask>
#include <QString>
#include <optional>

class QWidget;

namespace vima {

// An application the user picked in the application chooser.
struct ChosenApplication {
    QString name;     // as the file manager shows it
    QString bundleID; // the desktop-file id without ".desktop"
    QString path;

    bool operator==(const ChosenApplication &) const = default;
};

// Alerts, confirmations, text prompts and file choosers, as coroutines over
// window-modal dialogs: nothing blocks the event loop while they are up.
// `parent` is the window a dialog is modal to (none: application-modal).
// Arguments are taken by value since the caller's may be gone by the time the
// dialog answers; a caller re-checks its own widgets after each co_await.
class UiPrompts {
public:
    virtual ~UiPrompts() = default;

    // The system's alert sound, for refused input.
    virtual void beep() = 0;
    // An alert with one "OK" button.
    virtual QCoro::Task<void> alert(QWidget *parent, QString message, QString informativeText) = 0;
    // A warning alert whose first button confirms and is the default: true
    // only when that button was chosen.
    virtual QCoro::Task<bool> confirm(QWidget *parent, QString message, QString informativeText,
                                      QString confirmButton, QString cancelButton = QStringLiteral("Cancel")) = 0;
    // A one-line text prompt whose first button reads `confirmButton`; none when cancelled.
    virtual QCoro::Task<std::optional<QString>> askText(QWidget *parent, QString title, QString label,
                                                        QString initialText,
                                                        QString confirmButton = QStringLiteral("OK")) = 0;
    // Where to write a JSON file, proposing `suggestedName`; none when cancelled.
    virtual QCoro::Task<std::optional<QString>> chooseJsonFileToSave(QWidget *parent, QString suggestedName) = 0;
    // One existing JSON file; none when cancelled.
    virtual QCoro::Task<std::optional<QString>> chooseJsonFileToOpen(QWidget *parent) = 0;
    // One installed application; none when cancelled or unreadable.
    virtual QCoro::Task<std::optional<ChosenApplication>> chooseApplication(QWidget *parent) = 0;
};

} // namespace vima
