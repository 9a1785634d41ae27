#include "settings/kit/SlotNumber.h"

namespace vima {

QString slotNumber(qint64 slot)
{
    return slot < 0 ? QString::number(slot + 1) : QString::number(quint64(slot) + 1);
}

} // namespace vima
