#pragma once

#include "platform/UiPrompts.h"

#include <QList>
#include <QStringList>

namespace vima {

// Prompts that answer at once from scripted answers and record what they
// showed. An answer not scripted is a cancel.
class FakeUiPrompts final : public UiPrompts {
public:
    struct Shown {
        enum class Kind { alert, confirm, askText, saveFile, openFile, application };
        Kind kind;
        QString message; // the title, label or suggested name for the others
        QString informativeText;
        QStringList buttons; // askText: the initial text, then the confirming button
    };

    void beep() override { ++beeps; }
    QCoro::Task<void> alert(QWidget *parent, QString message, QString informativeText) override;
    QCoro::Task<bool> confirm(QWidget *parent, QString message, QString informativeText, QString confirmButton,
                              QString cancelButton = QStringLiteral("Cancel")) override;
    QCoro::Task<std::optional<QString>> askText(QWidget *parent, QString title, QString label,
                                                QString initialText,
                                                QString confirmButton = QStringLiteral("OK")) override;
    QCoro::Task<std::optional<QString>> chooseJsonFileToSave(QWidget *parent, QString suggestedName) override;
    QCoro::Task<std::optional<QString>> chooseJsonFileToOpen(QWidget *parent) override;
    QCoro::Task<std::optional<ChosenApplication>> chooseApplication(QWidget *parent) override;

    // Scripted answers, taken from the front.
    QList<bool> confirmations;
    QList<std::optional<QString>> texts;
    QList<std::optional<QString>> files; // for both choosers
    QList<std::optional<ChosenApplication>> applications;

    QList<Shown> shown;
    int beeps = 0;

    const Shown *last() const { return shown.isEmpty() ? nullptr : &shown.constLast(); }
};

} // namespace vima
