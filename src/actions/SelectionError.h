#pragma once

#include "model/UserError.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace vima {

// Why the selected text could not be read or written.
class SelectionError : public UserError {
public:
    enum class Kind {
        nothingSelected,
        selectionNotShared,
        captureFailed,
        notPermitted,
        tooLarge,
        clipboardNotResponding,
        clipboardTooLarge,
        clipboardTooManyFormats,
        clipboardFormatNameTooLong
    };

    static SelectionError nothingSelected(const std::optional<QString> &appName);
    static SelectionError selectionNotShared(const std::optional<QString> &appName);
    static SelectionError captureFailed(const std::optional<QString> &appName);
    static SelectionError notPermitted();
    // The selected text is over largestSelectionText: nothing was sent.
    static SelectionError tooLarge(const std::optional<QString> &appName);
    // The copy fallback found the clipboard's owner silent, or the clipboard
    // over what can be put back, and left the clipboard as it was.
    static SelectionError clipboardNotResponding(const std::optional<QString> &appName);
    static SelectionError clipboardTooLarge(const std::optional<QString> &appName);
    static SelectionError clipboardTooManyFormats(const std::optional<QString> &appName);
    static SelectionError clipboardFormatNameTooLong(const std::optional<QString> &appName);

    Kind kind() const { return kind_; }
    std::optional<QString> appName() const { return appName_; }

    QString description() const override;
    std::optional<QString> recoverySuggestion() const override;
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    SelectionError(Kind kind, std::optional<QString> appName);
    QString name() const;

    Kind kind_;
    std::optional<QString> appName_;
    QByteArray utf8_;
};

} // namespace vima
