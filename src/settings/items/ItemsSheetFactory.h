#pragma once

// How the Items tab makes its sheets: one factory per kind of sheet. A
// factory builds the sheet as a QDialog child of `parent` and returns it
// unopened; the tab opens it window-modal with open(), keeps one at a time
// (a sheet of another identity closes the one shown), forgets it on
// `finished` and deletes it later. The sheet closes itself with accept(),
// reject() or done(); it receives the store and every service through the
// context. A kind without a factory opens nothing.
//
// To plug a sheet in, set its member in itemsSheetFactory() (ItemsSheetFactory.cpp):
//
//     factory.library = [](SettingsContext &context, QWidget *parent, const LibrarySheetArguments &arguments) {
//         return new ActionLibraryView(context, arguments.ringID, parent);
//     };

#include "model/RingItem.h"
#include "settings/items/AppActionPickerModel.h"

#include <QString>
#include <QUuid>
#include <functional>

class QDialog;
class QWidget;

namespace vima {

struct SettingsContext;

struct BuildPackSheetArguments {
    QUuid parentRingID;
    QString parentName; // "Ring" for a ring without a name
    qint64 slot = 0;    // where the item opening the new pack goes
    // Call with the id of the item that opens the new pack: the tab selects it.
    std::function<void(const QUuid &openerItemID)> onCommit;
};

struct LibrarySheetArguments {
    QUuid ringID; // the ring the library adds to
};

struct AppActionsSheetArguments {
    AppActionPickerModel::Target target;
    // Call with the item that now opens the new pack.
    std::function<void(const RingItem &item)> onCreated;
};

struct ItemsSheetFactory {
    std::function<QDialog *(SettingsContext &, QWidget *parent, const BuildPackSheetArguments &)> buildPack;
    std::function<QDialog *(SettingsContext &, QWidget *parent, const LibrarySheetArguments &)> library;
    // The saved packs list.
    std::function<QDialog *(SettingsContext &, QWidget *parent)> templates;
    std::function<QDialog *(SettingsContext &, QWidget *parent, const AppActionsSheetArguments &)> appActions;
};

// The application's sheets.
ItemsSheetFactory itemsSheetFactory();

} // namespace vima
