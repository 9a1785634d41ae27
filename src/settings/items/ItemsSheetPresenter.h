#pragma once

#include "settings/items/ItemsSettingsModel.h"
#include "settings/items/ItemsSheetFactory.h"

#include <QObject>
#include <QDialog>
#include <QPointer>


class QWidget;

namespace vima {

struct SettingsContext;

// Shows the Items tab's activeSheet: one window-modal sheet at a time, made
// by the factory of its kind. A sheet of another identity replaces the one
// shown; a sheet's `finished` clears activeSheet.
class ItemsSheetPresenter final : public QObject {
    Q_OBJECT

public:
    ItemsSheetPresenter(ItemsSettingsModel &model, SettingsContext &context, ItemsSheetFactory factory,
                        QWidget *parent);
    ~ItemsSheetPresenter() override;

    QDialog *currentSheet() const { return sheet_; }

private:
    void present();
    QDialog *make(const ItemsSettingsModel::ActiveSheet &sheet);
    void closeCurrent();

    ItemsSettingsModel &model_;
    SettingsContext &context_;
    const ItemsSheetFactory factory_;
    QWidget *parent_;
    QPointer<QDialog> sheet_;
    QString sheetID_;
};

} // namespace vima
