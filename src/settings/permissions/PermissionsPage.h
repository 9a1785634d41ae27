#pragma once

#include <QWidget>

class QPushButton;

namespace vima {

class DisclosureRow;
class PermissionGuideView;
class PermissionsModel;
class SymbolIcon;
class ToneLabel;
struct SettingsContext;

// The Permissions tab: whether the grant is there, the button for it, the
// animated guide while it is missing, and what the grant is and isn't for.
class PermissionsPage final : public QWidget {
    Q_OBJECT

public:
    explicit PermissionsPage(SettingsContext &context, QWidget *parent = nullptr);

    PermissionsModel &model() const { return *model_; }
    PermissionGuideView *guide() const { return guide_; }
    QPushButton *enableButton() const { return enable_; }
    QPushButton *openSettingsButton() const { return openSettings_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *accessibilitySection(SettingsContext &context);
    void applyGrant();
    void applyHotkey();

    PermissionsModel *model_;
    SymbolIcon *icon_ = nullptr;
    ToneLabel *state_ = nullptr;
    ToneLabel *detail_ = nullptr;
    QPushButton *enable_ = nullptr;
    QPushButton *openSettings_ = nullptr;
    PermissionGuideView *guide_ = nullptr;
    DisclosureRow *hotkeyRow_ = nullptr;
};

} // namespace vima
