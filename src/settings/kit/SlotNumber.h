#pragma once

#include <QString>

namespace vima {

// The number a slot goes by on screen, one more than its index; for any index
// a file may hold, the largest too.
QString slotNumber(qint64 slot);

} // namespace vima
