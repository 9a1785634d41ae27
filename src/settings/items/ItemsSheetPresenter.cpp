#include "settings/items/ItemsSheetPresenter.h"

#include <QDialog>
#include <QWidget>

namespace vima {

ItemsSheetPresenter::ItemsSheetPresenter(ItemsSettingsModel &model, SettingsContext &context,
                                         ItemsSheetFactory factory, QWidget *parent)
    : QObject(parent)
    , model_(model)
    , context_(context)
    , factory_(std::move(factory))
    , parent_(parent)
{
    connect(&model_, &ItemsSettingsModel::activeSheetChanged, this, &ItemsSheetPresenter::present);
}

ItemsSheetPresenter::~ItemsSheetPresenter() { closeCurrent(); }

void ItemsSheetPresenter::present()
{
    const auto &wanted = model_.activeSheet();
    if (sheet_ && wanted && wanted->id() == sheetID_)
        return;
    closeCurrent();
    if (!wanted)
        return;
    QDialog *sheet = make(*wanted);
    if (!sheet) {
        model_.setActiveSheet(std::nullopt);
        return;
    }
    sheet_ = sheet;
    sheetID_ = wanted->id();
    connect(sheet, &QDialog::finished, this, [this, sheet] {
        if (sheet != sheet_)
            return;
        sheet_ = nullptr;
        sheet->deleteLater();
        model_.setActiveSheet(std::nullopt);
    });
    sheet->setWindowModality(Qt::WindowModal);
    sheet->open();
}

QDialog *ItemsSheetPresenter::make(const ItemsSettingsModel::ActiveSheet &sheet)
{
    using Kind = ItemsSettingsModel::ActiveSheet::Kind;
    const QPointer<ItemsSettingsModel> model(&model_);
    switch (sheet.kind) {
    case Kind::buildPack:
        if (!factory_.buildPack)
            return nullptr;
        return factory_.buildPack(context_, parent_,
                                  {model_.editedRing().id, model_.buildPackParentName(), sheet.slot,
                                   [model](const QUuid &itemID) {
                                       if (model)
                                           model->packCommitted(itemID);
                                   }});
    case Kind::library:
        return factory_.library ? factory_.library(context_, parent_, {model_.editedRing().id}) : nullptr;
    case Kind::templates: return factory_.templates ? factory_.templates(context_, parent_) : nullptr;
    case Kind::appActions: {
        const auto target = model_.appActionsTarget();
        if (!factory_.appActions || !target)
            return nullptr;
        return factory_.appActions(context_, parent_, {*target, [model](const RingItem &item) {
                                                           if (model)
                                                               model->appActionsCreated(item);
                                                       }});
    }
    }
    Q_UNREACHABLE();
}

void ItemsSheetPresenter::closeCurrent()
{
    // Taken first, so that its `finished` no longer speaks for activeSheet.
    QDialog *sheet = sheet_;
    sheet_ = nullptr;
    sheetID_.clear();
    if (!sheet)
        return;
    sheet->close();
    sheet->deleteLater();
}

} // namespace vima
