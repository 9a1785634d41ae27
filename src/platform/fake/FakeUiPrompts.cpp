#include "platform/fake/FakeUiPrompts.h"

namespace vima {

namespace {

template <typename T>
T takeFirst(QList<T> &answers, T cancel)
{
    return answers.isEmpty() ? cancel : answers.takeFirst();
}

} // namespace

QCoro::Task<void> FakeUiPrompts::alert(QWidget *, QString message, QString informativeText)
{
    shown.append({Shown::Kind::alert, message, informativeText, {QStringLiteral("OK")}});
    co_return;
}

QCoro::Task<bool> FakeUiPrompts::confirm(QWidget *, QString message, QString informativeText,
                                         QString confirmButton, QString cancelButton)
{
    shown.append({Shown::Kind::confirm, message, informativeText, {confirmButton, cancelButton}});
    co_return takeFirst(confirmations, false);
}

QCoro::Task<std::optional<QString>> FakeUiPrompts::askText(QWidget *, QString title, QString label,
                                                           QString initialText, QString confirmButton)
{
    shown.append({Shown::Kind::askText, title, label, {initialText, confirmButton}});
    co_return takeFirst(texts, std::optional<QString>());
}

QCoro::Task<std::optional<QString>> FakeUiPrompts::chooseJsonFileToSave(QWidget *, QString suggestedName)
{
    shown.append({Shown::Kind::saveFile, suggestedName, {}, {}});
    co_return takeFirst(files, std::optional<QString>());
}

QCoro::Task<std::optional<QString>> FakeUiPrompts::chooseJsonFileToOpen(QWidget *)
{
    shown.append({Shown::Kind::openFile, {}, {}, {}});
    co_return takeFirst(files, std::optional<QString>());
}

QCoro::Task<std::optional<ChosenApplication>> FakeUiPrompts::chooseApplication(QWidget *)
{
    shown.append({Shown::Kind::application, {}, {}, {}});
    co_return takeFirst(applications, std::optional<ChosenApplication>());
}

} // namespace vima
