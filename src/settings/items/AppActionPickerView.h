#pragma once

#include "settings/items/AppActionPickerModel.h"

#include <QDialog>
#include <QHash>
#include <QUuid>

class QCheckBox;
class QLabel;
class QVBoxLayout;

namespace vima {

struct SettingsContext;

// The sheet that turns an application's slot into a pack of its suggested
// actions. Open it with openSheet(); it loads the suggestions afresh, all
// ticked, each time it is shown. Return creates the pack, Escape cancels.
class AppActionPickerView final : public QDialog {
    Q_OBJECT

public:
    AppActionPickerView(SettingsContext &context, const AppActionPickerModel::Target &target,
                        QWidget *parent = nullptr);

    AppActionPickerModel &model() { return model_; }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildHeader();
    void rebuildRows();
    void refreshTicks();

    SettingsContext &context_;
    AppActionPickerModel model_;
    QVBoxLayout *rows_;
    QHash<QUuid, QCheckBox *> ticks_;
    QLabel *count_;
};

} // namespace vima
