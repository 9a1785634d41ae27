#include "settings/items/ItemsSheetFactory.h"

#include "settings/items/AppActionPickerView.h"
#include "settings/kit/SettingsContext.h"
#include "settings/library/ActionLibraryView.h"
#include "settings/packs/PackBuilderView.h"
#include "settings/packs/SavedGroupsView.h"

namespace vima {

ItemsSheetFactory itemsSheetFactory()
{
    ItemsSheetFactory factory;
    factory.appActions = [](SettingsContext &context, QWidget *parent, const AppActionsSheetArguments &arguments) {
        auto *sheet = new AppActionPickerView(context, arguments.target, parent);
        sheet->model().onCreated = arguments.onCreated;
        return sheet;
    };
    factory.buildPack = [](SettingsContext &context, QWidget *parent, const BuildPackSheetArguments &arguments) {
        return new PackBuilderView(context, {arguments.parentRingID, arguments.parentName, arguments.slot, arguments.onCommit},
                                   catalogScan(context.sharedCatalog), parent);
    };
    factory.library = [](SettingsContext &context, QWidget *parent, const LibrarySheetArguments &arguments) {
        return new ActionLibraryView(context, arguments.ringID, catalogScan(context.sharedCatalog), parent);
    };
    factory.templates = [](SettingsContext &context, QWidget *parent) { return new SavedGroupsView(context, parent); };
    return factory;
}

} // namespace vima
