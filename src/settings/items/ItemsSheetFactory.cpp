#include "settings/items/ItemsSheetFactory.h"

#include "settings/items/AppActionPickerView.h"

namespace vima {

ItemsSheetFactory itemsSheetFactory()
{
    ItemsSheetFactory factory;
    factory.appActions = [](SettingsContext &context, QWidget *parent, const AppActionsSheetArguments &arguments) {
        auto *sheet = new AppActionPickerView(context, arguments.target, parent);
        sheet->model().onCreated = arguments.onCreated;
        return sheet;
    };
    return factory;
}

} // namespace vima
