#pragma once

#include <QAccessibleWidget>
#include <QHash>

namespace vima {

class RingPreviewView;

// What assistive technology sees of a ring preview: one push button per slot
// that takes clicks, named after its slot and item, whose "Press" picks the
// slot as a click or Space does. Installed once by the first preview.
class RingPreviewAccessible final : public QAccessibleWidget {
public:
    explicit RingPreviewAccessible(RingPreviewView *view);
    ~RingPreviewAccessible() override;

    static void installFactory();

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;

private:
    RingPreviewView *view() const;

    mutable QHash<int, QAccessible::Id> slots_;
};

} // namespace vima
