#pragma once

#include <QDialog>

class QStackedWidget;
class QVBoxLayout;

namespace vima {

class SavedGroupsModel;
struct SettingsContext;

// The sheet listing the saved packs, each with its delete button.
class SavedGroupsView final : public QDialog {
    Q_OBJECT

public:
    explicit SavedGroupsView(SettingsContext &context, QWidget *parent = nullptr);

    SavedGroupsModel &model() const { return *model_; }

private:
    void rebuildRows();

    SettingsContext &context_;
    SavedGroupsModel *model_;
    QStackedWidget *content_;
    QVBoxLayout *rows_;
};

} // namespace vima
