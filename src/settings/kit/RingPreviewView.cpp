#include "settings/kit/RingPreviewView.h"

#include "ring/RingSliceShape.h"
#include "ring/RingView.h"
#include "ring/RingViewModel.h"
#include "settings/kit/RingPreviewAccessible.h"
#include "settings/kit/SettingsContext.h"
#include "settings/kit/ShownName.h"
#include "ui/FollowPalette.h"
#include "ui/Palette.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <algorithm>

Q_LOGGING_CATEGORY(lcRingPreview, "com.vima.Vima.Settings")

namespace vima {

namespace {

Ring emptyRing()
{
    Ring ring;
    ring.id = QUuid::createUuid();
    return ring;
}

// The ring's own look, but empty slots drawn in a tone of the text: the
// ring's white ones vanish on a light card, and a thin dashed circle needs
// more than a control's edge to stay at its contrast once smoothed.
RingStyle previewStyle()
{
    RingStyle style;
    const QColor edge = Palette::secondaryLabel();
    style.emptyFill = Palette::controlBackground();
    style.emptyFill.setAlphaF(0.6f);
    style.emptyBorder = edge;
    style.emptyPlus = edge;
    return style;
}

} // namespace

RingPreviewView::RingPreviewView(SettingsContext &context, QWidget *parent)
    : QWidget(parent)
    , viewModel_(std::make_unique<RingViewModel>(emptyRing(), 8, Appearance{}, context.haptics, context.beep,
                                                 context.scheduler))
    , ringView_(new RingView(*viewModel_, true, RingStyle{}, context.scheduler, this))
    , focusOverlay_(new QWidget(this))
{
    // Before anything below tells assistive technology about this widget,
    // which would make it keep a plain widget's interface.
    RingPreviewAccessible::installFactory();
    ringView_->setAppIcons(&context.appIcons);
    ringView_->setAttribute(Qt::WA_TransparentForMouseEvents);
    focusOverlay_->setAttribute(Qt::WA_TransparentForMouseEvents);
    focusOverlay_->setAttribute(Qt::WA_NoSystemBackground);
    focusOverlay_->installEventFilter(this);
    focusOverlay_->hide();
    followPalette(this, [this] { ringView_->setStyle(previewStyle()); });
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("Ring preview"));
}

RingPreviewView::~RingPreviewView()
{
    delete ringView_; // before the model it draws
}

void RingPreviewView::setRing(const Ring &ring, qint64 slotCount, const Appearance &appearance)
{
    if (ring == ring_ && slotCount == slotCount_ && appearance == appearance_)
        return;
    ring_ = ring;
    slotCount_ = slotCount;
    appearance_ = appearance;
    focusSlot_ = std::min(focusSlot_, std::max(slotAreaCount() - 1, 0));
    if (isVisible())
        reload();
}

void RingPreviewView::setHighlightedSlot(std::optional<int> slot)
{
    highlightedSlot_ = slot;
    viewModel_->setHoveredSlot(slot);
}

void RingPreviewView::reload()
{
    viewModel_->cancelDwell();
    Appearance scaled = appearance_;
    scaled.innerRadius *= radiusScale;
    scaled.outerRadius *= radiusScale;
    RingViewModel &model = *viewModel_;
    model.setStack({ring_});
    model.setPages({});
    model.setContextApp(std::nullopt);
    model.setPageIndex(0);
    model.setGlobalSlotCount(slotCount_);
    model.setAppearance(scaled);
    model.setHoveredSlot(std::nullopt);
    model.setKeyboardFocusSlot(std::nullopt);
    model.setRingCenter(std::nullopt);
    model.setPresented(true);
    model.setHoveredSlot(highlightedSlot_);
    focusOverlay_->update();
}

int RingPreviewView::slotAreaCount() const
{
    if (!onSlotTapped)
        return 0;
    // One area per slot the ring draws: more would lie on top of them.
    return Ring::drawnSlotCount(slotCount_);
}

QRect RingPreviewView::slotRect(int slot) const
{
    return RingSliceShape{slot, viewModel_->geometry(size()), sliceGap}.path().boundingRect().toAlignedRect();
}

std::optional<int> RingPreviewView::slotAt(QPointF point) const
{
    const RingGeometry geometry = viewModel_->geometry(size());
    for (int slot = 0; slot < slotAreaCount(); ++slot) {
        if (RingSliceShape{slot, geometry, sliceGap}.contains(point))
            return slot;
    }
    return std::nullopt;
}

QString RingPreviewView::slotToolTip(int slot)
{
    return tr("Slot %1 — click to add or edit").arg(slot + 1);
}

QString RingPreviewView::slotAccessibleName(int slot) const
{
    const std::optional<RingItem> item = ring_.itemInSlot(slot);
    return tr("Slot %1, %2").arg(slot + 1).arg(item ? shownName(item->title) : tr("empty"));
}

void RingPreviewView::pressSlot(int slot)
{
    if (onSlotTapped && slot >= 0 && slot < slotAreaCount())
        onSlotTapped(slot);
}

bool RingPreviewView::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        if (const auto slot = slotAt(help->pos()))
            QToolTip::showText(help->globalPos(), slotToolTip(*slot), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void RingPreviewView::mousePressEvent(QMouseEvent *event)
{
    pressedSlot_ = event->button() == Qt::LeftButton ? slotAt(event->position()) : std::nullopt;
    event->setAccepted(pressedSlot_.has_value());
}

void RingPreviewView::mouseReleaseEvent(QMouseEvent *event)
{
    const std::optional<int> pressed = std::exchange(pressedSlot_, std::nullopt);
    if (pressed && event->button() == Qt::LeftButton && slotAt(event->position()) == pressed)
        pressSlot(*pressed);
}

void RingPreviewView::keyPressEvent(QKeyEvent *event)
{
    if (slotAreaCount() == 0)
        return QWidget::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Down: moveFocusSlot(1); break;
    case Qt::Key_Left:
    case Qt::Key_Up: moveFocusSlot(-1); break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: pressSlot(focusSlot_); break;
    default: return QWidget::keyPressEvent(event);
    }
}

void RingPreviewView::moveFocusSlot(int step)
{
    const int count = slotAreaCount();
    focusSlot_ = ((focusSlot_ + step) % count + count) % count;
    setAccessibleDescription(slotToolTip(focusSlot_));
    focusOverlay_->update();
}

void RingPreviewView::focusInEvent(QFocusEvent *event)
{
    focusOverlay_->setVisible(slotAreaCount() > 0);
    QWidget::focusInEvent(event);
}

void RingPreviewView::focusOutEvent(QFocusEvent *event)
{
    focusOverlay_->hide();
    QWidget::focusOutEvent(event);
}

bool RingPreviewView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == focusOverlay_ && event->type() == QEvent::Paint) {
        paintFocus(focusOverlay_);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void RingPreviewView::paintFocus(QWidget *overlay)
{
    if (slotAreaCount() == 0)
        return;
    QPainter painter(overlay);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipPath(cardPath());
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(RingSliceShape{focusSlot_, viewModel_->geometry(size()), sliceGap}.path());
}

QPainterPath RingPreviewView::cardPath() const
{
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    return path;
}

void RingPreviewView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(cardPath(), Palette::underPageBackground());
    painter.setPen(QPen(Palette::separator(), 1));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius - 0.5, cornerRadius - 0.5);
}

void RingPreviewView::resizeEvent(QResizeEvent *event)
{
    ringView_->setGeometry(rect());
    focusOverlay_->setGeometry(rect());
    // The ring is clipped to the card's rounded corners.
    ringView_->setMask(QRegion(cardPath().toFillPolygon().toPolygon()));
    QWidget::resizeEvent(event);
    if (isVisible())
        logPlace();
}

void RingPreviewView::showEvent(QShowEvent *event)
{
    reload();
    QWidget::showEvent(event);
    logPlace();
}

void RingPreviewView::logPlace() const
{
    // Where a click lands on a slot, for tests that drive the window from outside.
    const RingGeometry geometry = viewModel_->geometry(size());
    const QPoint centre = mapTo(window(), geometry.center.toPoint());
    qCDebug(lcRingPreview, "Ring preview at %d,%d in the window, radii %.0f to %.0f", centre.x(), centre.y(),
            geometry.innerRadius, geometry.outerRadius);
}

} // namespace vima
