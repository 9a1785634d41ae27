#pragma once

#include <QCoroTask>

class QDialog;

namespace vima {

// Opens `sheet` window-modal to its parent with open() (no nested event loop)
// and completes with its result code once it finishes; a sheet destroyed
// first (its window closed for good) completes as rejected. The caller owns
// the sheet: read its fields after co_await, then delete it. Find rings and
// items again by id after co_await: the configuration may have changed.
//
//     auto *sheet = new PackSheet(window);
//     if (co_await openSheet(sheet) == QDialog::Accepted && self) ...
//     sheet->deleteLater();
QCoro::Task<int> openSheet(QDialog *sheet);

} // namespace vima
