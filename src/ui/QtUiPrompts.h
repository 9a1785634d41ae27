#pragma once

#include "platform/UiPrompts.h"

#include <functional>

namespace vima {

class SystemBeep;

// Prompts as window-modal Qt dialogs opened with open(): QMessageBox for
// alerts, QInputDialog for text, Qt's own file dialog for files.
class QtUiPrompts final : public UiPrompts {
public:
    using ApplicationChooser = std::function<QCoro::Task<std::optional<ChosenApplication>>(QWidget *parent)>;

    explicit QtUiPrompts(SystemBeep &beep) : beep_(beep) {}

    // The picker behind chooseApplication, installed by the composition root.
    ApplicationChooser applicationChooser;

    void beep() override;
    QCoro::Task<void> alert(QWidget *parent, QString message, QString informativeText) override;
    QCoro::Task<bool> confirm(QWidget *parent, QString message, QString informativeText, QString confirmButton,
                              QString cancelButton = QStringLiteral("Cancel")) override;
    QCoro::Task<std::optional<QString>> askText(QWidget *parent, QString title, QString label,
                                                QString initialText,
                                                QString confirmButton = QStringLiteral("OK")) override;
    QCoro::Task<std::optional<QString>> chooseJsonFileToSave(QWidget *parent, QString suggestedName) override;
    QCoro::Task<std::optional<QString>> chooseJsonFileToOpen(QWidget *parent) override;
    QCoro::Task<std::optional<ChosenApplication>> chooseApplication(QWidget *parent) override;

private:
    SystemBeep &beep_;
};

} // namespace vima
