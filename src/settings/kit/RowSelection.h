#pragma once

#include <functional>

class QAbstractItemView;
class QObject;

namespace vima {

// Whatever selects a row of a single-selection view (a click, a key,
// type-ahead, an accessible select) calls `selected` with that row, and with
// -1 once no row is selected. An accessible select moves only the selection,
// so the view's current row is brought along to keep the two in step.
void followSelectedRow(QAbstractItemView *view, const QObject *context, std::function<void(int row)> selected);

// The selected row of a single-selection view, or -1.
int selectedRow(const QAbstractItemView *view);

} // namespace vima
