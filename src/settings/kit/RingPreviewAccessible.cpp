#include "settings/kit/RingPreviewAccessible.h"

#include "ring/RingSliceShape.h"
#include "ring/RingViewModel.h"
#include "settings/kit/RingPreviewView.h"
#include "ui/AccessibleFactory.h"

#include <QPointer>

namespace vima {

namespace {

// One slot of a preview: a button without a widget of its own.
class SlotAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    SlotAccessible(RingPreviewView *view, int slot) : view_(view), slot_(slot) {}

    bool isValid() const override { return view_ && slot_ < view_->slotAreaCount(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(view_.data()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::Button; }
    void setText(QAccessible::Text, const QString &) override {}

    QString text(QAccessible::Text type) const override
    {
        if (!isValid())
            return {};
        switch (type) {
        case QAccessible::Name: return view_->slotAccessibleName(slot_);
        case QAccessible::Description: return RingPreviewView::slotToolTip(slot_);
        default: return {};
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = !view_ || !view_->isVisible();
        return state;
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const RingGeometry geometry = view_->viewModel().geometry(view_->size());
        const QRect local = RingSliceShape{slot_, geometry, RingPreviewView::sliceGap}.path().boundingRect().toRect();
        return {view_->mapToGlobal(local.topLeft()), local.size()};
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && isValid())
            view_->pressSlot(slot_);
    }

private:
    QPointer<RingPreviewView> view_;
    int slot_;
};

} // namespace

RingPreviewAccessible::RingPreviewAccessible(RingPreviewView *view) : QAccessibleWidget(view, QAccessible::Grouping)
{
}

RingPreviewAccessible::~RingPreviewAccessible()
{
    for (const QAccessible::Id id : std::as_const(slots_))
        QAccessible::deleteAccessibleInterface(id);
}

void RingPreviewAccessible::installFactory()
{
    installAccessibleFactory<RingPreviewView, RingPreviewAccessible>();
}

RingPreviewView *RingPreviewAccessible::view() const { return static_cast<RingPreviewView *>(widget()); }

int RingPreviewAccessible::childCount() const { return view()->slotAreaCount(); }

QAccessibleInterface *RingPreviewAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    auto found = slots_.constFind(index);
    if (found == slots_.constEnd())
        found = slots_.insert(index, QAccessible::registerAccessibleInterface(new SlotAccessible(view(), index)));
    return QAccessible::accessibleInterface(*found);
}

int RingPreviewAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface *>(child));
    for (auto it = slots_.cbegin(); it != slots_.cend(); ++it)
        if (it.value() == id)
            return it.key() < childCount() ? it.key() : -1;
    return -1;
}

QAccessibleInterface *RingPreviewAccessible::childAt(int x, int y) const
{
    const auto slot = view()->slotAt(view()->mapFromGlobal(QPoint(x, y)));
    return slot ? child(*slot) : nullptr;
}

} // namespace vima
