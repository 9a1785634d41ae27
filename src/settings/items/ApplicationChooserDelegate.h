#pragma once

#include <QStyledItemDelegate>

namespace vima {

class AppIconCache;

// Draws a chooser row with its application's icon, asked for only when the
// row is painted: a list of thousands loads the few icons in sight.
class ApplicationChooserDelegate final : public QStyledItemDelegate {
public:
    // The role that holds a row's bundle identifier.
    static constexpr int bundleIDRole = Qt::UserRole;

    explicit ApplicationChooserDelegate(const AppIconCache *appIcons, QObject *parent = nullptr);

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    const AppIconCache *appIcons_;
};

} // namespace vima
