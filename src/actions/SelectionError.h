#pragma once

#include "model/UserError.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace vima {

// Why the selected text could not be read or written.
class SelectionError : public UserError {
public:
    enum class Kind { nothingSelected, selectionNotShared, captureFailed, notPermitted };

    static SelectionError nothingSelected(const std::optional<QString> &appName);
    static SelectionError selectionNotShared(const std::optional<QString> &appName);
    static SelectionError captureFailed(const std::optional<QString> &appName);
    static SelectionError notPermitted();

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
