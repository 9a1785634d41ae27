#pragma once

#include <QStyledItemDelegate>

namespace vima {

class AppIconCache;

// Paints one item row of the Items tab: icon tile, title over summary, and
// the slot number, on a rounded fill when the row's item is the selected one.
class ItemRowDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    // Roles the rows carry besides the title (DisplayRole).
    enum Role {
        SummaryRole = Qt::UserRole + 1,
        SlotRole,     // the 1-based slot number, as text
        IconRole,     // IconSpec
        SelectedRole, // bool: the row's item is the tab's selected item
    };

    explicit ItemRowDelegate(const AppIconCache *appIcons, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    const AppIconCache *appIcons_;
};

} // namespace vima
