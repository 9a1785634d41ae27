#pragma once

#include <QWidget>

class QPushButton;

namespace vima {

class DisclosureRow;
class PermissionsModel;
class SymbolIcon;
class ToneLabel;
struct SettingsContext;

// The Permissions tab: whether reading and pasting are available, what is
// missing while they are not, and what they are and aren't for.
class PermissionsPage final : public QWidget {
    Q_OBJECT

public:
    explicit PermissionsPage(SettingsContext &context, QWidget *parent = nullptr);

    PermissionsModel &model() const { return *model_; }
    QPushButton *checkAgainButton() const { return checkAgain_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *accessibilitySection();
    void applyGrant();
    void applyHotkey();

    PermissionsModel *model_;
    SymbolIcon *icon_ = nullptr;
    ToneLabel *state_ = nullptr;
    ToneLabel *detail_ = nullptr;
    QPushButton *checkAgain_ = nullptr;
    ToneLabel *missing_ = nullptr;
    DisclosureRow *hotkeyRow_ = nullptr;
};

} // namespace vima
