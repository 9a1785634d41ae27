#pragma once

#include "model/RingItem.h"

#include <QCoroTask>
#include <QWidget>

class QLineEdit;

namespace vima {

class IconTile;
class PackBuilderModel;
class ToneLabel;
struct SettingsContext;

// One item of the pack being built: its icon, title, kind, remove button and
// the target editor of its kind. Every keystroke goes to the model at once.
class PackItemRow final : public QWidget {
    Q_OBJECT

public:
    PackItemRow(SettingsContext &context, PackBuilderModel &model, const RingItem &item, QWidget *parent = nullptr);

    // Shows the item as it now stands; text being typed stays put.
    void refresh(const RingItem &item);
    const QUuid &itemID() const { return itemID_; }

private:
    QCoro::Task<> chooseApp();

    SettingsContext &context_;
    PackBuilderModel &model_;
    const QUuid itemID_;
    IconTile *icon_;
    QLineEdit *title_;
    QLineEdit *target_ = nullptr;
    ToneLabel *appStatus_ = nullptr;
};

} // namespace vima
