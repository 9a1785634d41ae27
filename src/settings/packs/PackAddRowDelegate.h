#pragma once

#include <QStyledItemDelegate>

namespace vima {

class AppIconCache;

// Paints the add panel's list rows: an icon in a 20-point frame, the title
// and, for library rows, a one-line summary under it, then a trailing
// symbol ("plus" adds, "chevron.right" goes on); or a capitalised section
// caption. A disabled row is dimmed.
class PackAddRowDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    enum Role {
        IconRole = Qt::UserRole + 10, // IconSpec
        IconSizeRole,                 // double, points
        SubtitleRole,                 // QString
        TrailingSymbolRole,           // QString
        CaptionRole,                  // bool
    };

    explicit PackAddRowDelegate(const AppIconCache *appIcons, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    const AppIconCache *appIcons_;
};

} // namespace vima
