#include "ring/RingAccessible.h"

#include "ring/RingPainter.h"
#include "ring/RingText.h"
#include "ring/RingView.h"
#include "ring/RingViewModel.h"
#include "ui/AccessibleFactory.h"

#include <QPointer>

namespace vima {

namespace {

// One slot, or the centre disc.
class RingElementAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    RingElementAccessible(RingView *view, int element)
        : view_(view)
        , element_(element)
    {
    }

    bool isValid() const override { return view_ && parentInterface() && elementIndex() >= 0; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return parentInterface(); }
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::Button; }
    void setText(QAccessible::Text, const QString &) override {}

    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = !isValid() || !isShown();
        state.selectable = element_ != RingAccessible::centre;
        state.selected = view_ && element_ != RingAccessible::centre
                         && view_->viewModel().highlightedSlot() == element_;
        return state;
    }

    QRect rect() const override
    {
        if (!view_)
            return {};
        const RingLayout layout = view_->frame().layout;
        const QPointF centre = element_ == RingAccessible::centre ? layout.geometry.center
                                                                  : layout.tileCentre(element_);
        const double side = element_ == RingAccessible::centre ? RingLayout::discDiameter
                                                               : layout.tileSize + RingLayout::hitPadding;
        const QRectF local = QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side)
                                 .translated(-view_->canvasOrigin());
        return QRect(view_->mapToGlobal(local.topLeft().toPoint()), local.size().toSize());
    }

    QString text(QAccessible::Text kind) const override
    {
        if (!view_)
            return {};
        const RingViewModel &model = view_->viewModel();
        if (element_ == RingAccessible::centre)
            return kind == QAccessible::Name ? (model.stack().size() > 1 ? QStringLiteral("Back")
                                                                         : QStringLiteral("Cancel"))
                                             : QString();
        const auto item = model.currentRing().itemInSlot(element_);
        if (kind == QAccessible::Name)
            return item && !item->title.isEmpty() ? RingText::bounded(item->title) : QStringLiteral("Empty slot %1").arg(element_ + 1);
        if (kind == QAccessible::Description && item && item->action.kind() == ItemAction::Kind::openRing)
            return QStringLiteral("Opens a pack");
        return {};
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }

    QStringList actionNames() const override { return isShown() ? QStringList{pressAction()} : QStringList(); }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }
    void doAction(const QString &name) override
    {
        if (!isShown() || name != pressAction())
            return;
        if (element_ == RingAccessible::centre)
            view_->pressCentre();
        else
            view_->pressSlot(element_);
    }

private:
    // A ring that is hidden, or fading out, offers nothing to find or press.
    bool isShown() const { return view_ && view_->isVisible() && view_->viewModel().isPresented(); }
    QAccessibleInterface *parentInterface() const
    {
        return view_ ? QAccessible::queryAccessibleInterface(view_.data()) : nullptr;
    }
    int elementIndex() const
    {
        const auto *ring = static_cast<RingAccessible *>(parentInterface());
        return ring ? int(ring->elements().indexOf(element_)) : -1;
    }

    QPointer<RingView> view_;
    int element_;
};

} // namespace

RingAccessible::RingAccessible(RingView *view)
    : QAccessibleWidget(view, QAccessible::Grouping)
{
}

RingAccessible::~RingAccessible()
{
    for (const QAccessible::Id id : std::as_const(children_))
        QAccessible::deleteAccessibleInterface(id);
}

void RingAccessible::install() { installAccessibleFactory<RingView, RingAccessible>(); }

RingView *RingAccessible::view() const { return static_cast<RingView *>(widget()); }

QList<int> RingAccessible::elements() const
{
    const RingFrame frame = view()->frame();
    const RingPainter painter(frame);
    QList<int> elements;
    for (int slot = 0; slot < painter.items().size(); ++slot) {
        if (painter.hasTile(slot))
            elements.append(slot);
    }
    elements.append(centre);
    return elements;
}

int RingAccessible::childCount() const { return int(elements().size()); }

QAccessibleInterface *RingAccessible::child(int index) const
{
    const QList<int> all = elements();
    if (index < 0 || index >= all.size())
        return nullptr;
    const int element = all.at(index);
    auto it = children_.find(element);
    if (it == children_.end())
        it = children_.insert(element, QAccessible::registerAccessibleInterface(
                                           new RingElementAccessible(view(), element)));
    return QAccessible::accessibleInterface(*it);
}

int RingAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface *>(child));
    const int element = children_.key(id, centre - 1);
    return int(elements().indexOf(element));
}

} // namespace vima
