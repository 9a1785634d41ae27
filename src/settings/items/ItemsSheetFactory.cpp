#include "settings/items/ItemsSheetFactory.h"

namespace vima {

ItemsSheetFactory itemsSheetFactory()
{
    ItemsSheetFactory factory;
    return factory;
}

} // namespace vima
