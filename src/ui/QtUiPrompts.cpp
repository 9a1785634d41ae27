#include "ui/QtUiPrompts.h"

#include "model/Text.h"
#include "platform/SystemBeep.h"
#include "ui/Sheet.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace vima {

namespace {

const QString jsonFilter = QStringLiteral("JSON (*.json)");

// What a prompt lays out of a text that may quote names or files: its start.
QString bounded(const QString &text) { return Text::cut(text, 2'000); }

QMessageBox *messageBox(QWidget *parent, QMessageBox::Icon icon, const QString &message,
                        const QString &informativeText)
{
    auto *box = new QMessageBox(icon, QString(), bounded(message), QMessageBox::NoButton, parent);
    box->setTextFormat(Qt::PlainText);
    box->setInformativeText(bounded(informativeText));
    // Names the user typed must never turn into markup.
    if (auto *informative = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
        informative->setTextFormat(Qt::PlainText);
    return box;
}

// Runs `dialog` as a sheet, deletes it after, and gives `read` its answer.
template <typename Result, typename Dialog, typename Read>
QCoro::Task<Result> runAndRead(Dialog *dialog, Read read)
{
    QPointer<Dialog> guard(dialog);
    const int code = co_await openSheet(dialog);
    if (!guard)
        co_return Result();
    Result result = read(*guard, code);
    guard->deleteLater();
    co_return result;
}

QCoro::Task<std::optional<QString>> chooseFile(QFileDialog *dialog)
{
    dialog->setNameFilter(jsonFilter);
    dialog->setDefaultSuffix(QStringLiteral("json"));
    co_return co_await runAndRead<std::optional<QString>>(
        dialog, [](QFileDialog &done, int code) -> std::optional<QString> {
            const QStringList files = done.selectedFiles();
            if (code != QDialog::Accepted || files.isEmpty())
                return std::nullopt;
            return files.first();
        });
}

} // namespace

void QtUiPrompts::beep() { beep_.beep(); }

QCoro::Task<void> QtUiPrompts::alert(QWidget *parent, QString message, QString informativeText)
{
    QMessageBox *box = messageBox(parent, QMessageBox::Information, message, informativeText);
    box->addButton(QMessageBox::Ok);
    co_await runAndRead<int>(box, [](QMessageBox &, int code) { return code; });
}

QCoro::Task<bool> QtUiPrompts::confirm(QWidget *parent, QString message, QString informativeText,
                                       QString confirmButton, QString cancelButton)
{
    QMessageBox *box = messageBox(parent, QMessageBox::Warning, message, informativeText);
    QPushButton *confirmed = box->addButton(confirmButton, QMessageBox::AcceptRole);
    box->addButton(cancelButton, QMessageBox::RejectRole);
    box->setDefaultButton(confirmed);
    co_return co_await runAndRead<bool>(box, [confirmed](QMessageBox &done, int) {
        return done.clickedButton() == confirmed;
    });
}

QCoro::Task<std::optional<QString>> QtUiPrompts::askText(QWidget *parent, QString title, QString label,
                                                         QString initialText, QString confirmButton)
{
    auto *dialog = new QInputDialog(parent);
    dialog->setWindowTitle(title);
    dialog->setLabelText(bounded(label));
    if (auto *shown = dialog->findChild<QLabel *>()) // it may name an application
        shown->setTextFormat(Qt::PlainText);
    dialog->setTextValue(initialText);
    dialog->setOkButtonText(confirmButton);
    co_return co_await runAndRead<std::optional<QString>>(
        dialog, [](QInputDialog &done, int code) -> std::optional<QString> {
            if (code != QDialog::Accepted)
                return std::nullopt;
            return done.textValue();
        });
}

QCoro::Task<std::optional<QString>> QtUiPrompts::chooseJsonFileToSave(QWidget *parent, QString suggestedName)
{
    auto *dialog = new QFileDialog(parent);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->selectFile(suggestedName);
    co_return co_await chooseFile(dialog);
}

QCoro::Task<std::optional<QString>> QtUiPrompts::chooseJsonFileToOpen(QWidget *parent)
{
    auto *dialog = new QFileDialog(parent);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    co_return co_await chooseFile(dialog);
}

QCoro::Task<std::optional<ChosenApplication>> QtUiPrompts::chooseApplication(QWidget *parent)
{
    if (!applicationChooser)
        co_return std::nullopt;
    co_return co_await applicationChooser(parent);
}

} // namespace vima
