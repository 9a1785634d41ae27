#include "settings/items/ApplicationChooserDelegate.h"

#include "ui/AppIconCache.h"

namespace vima {

ApplicationChooserDelegate::ApplicationChooserDelegate(const AppIconCache *appIcons, QObject *parent)
    : QStyledItemDelegate(parent), appIcons_(appIcons)
{
}

void ApplicationChooserDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (!appIcons_)
        return;
    option->icon = appIcons_->icon(index.data(bundleIDRole).toString());
    // The icon's place is kept while it loads or when there is none: names stay in line.
    option->features |= QStyleOptionViewItem::HasDecoration;
}

} // namespace vima
