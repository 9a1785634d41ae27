#pragma once

#include <QAccessibleWidget>
#include <QHash>

namespace vima {

class RingView;

// What assistive technologies see of a ring: one button per drawn slot and
// the centre disc, each pressable like a click.
class RingAccessible final : public QAccessibleWidget {
public:
    explicit RingAccessible(RingView *view);
    ~RingAccessible() override;

    // Registers the factory that gives every RingView this interface.
    static void install();

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;

    // The elements in order: the slots that have a tile, then the centre.
    QList<int> elements() const;
    static constexpr int centre = -1;

private:
    RingView *view() const;

    mutable QHash<int, QAccessible::Id> children_;
};

} // namespace vima
