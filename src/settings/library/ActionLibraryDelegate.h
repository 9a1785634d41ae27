#pragma once

#include <QStyledItemDelegate>

namespace vima {

class AppIconCache;

// Paints a library row (tick, icon tile, title and summary, badge) or a
// section header. Ticks change through the list's selection, never here.
class ActionLibraryDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit ActionLibraryDelegate(const AppIconCache *appIcons, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

private:
    void paintHeader(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    void paintRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;

    const AppIconCache *appIcons_;
};

} // namespace vima
