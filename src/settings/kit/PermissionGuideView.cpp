#include "settings/kit/PermissionGuideView.h"

#include "settings/kit/DemoToggle.h"
#include "settings/kit/SettingsLooks.h"
#include "ui/IconView.h"
#include "ui/Palette.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

namespace vima {

namespace {

constexpr double maxWidth = 320;
constexpr double rowHeight = 9 + 26 + 9;
constexpr double spacing = 8;
constexpr double horizontalInset = 12;
constexpr double iconSide = 26;
constexpr double symbolGap = 6;

} // namespace

PermissionGuideView::PermissionGuideView(Scheduler &scheduler, QWidget *parent)
    : QWidget(parent), scheduler_(scheduler), toggle_(new DemoToggle(this))
{
    setAccessibleName(caption());
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

PermissionGuideView::~PermissionGuideView()
{
    stopLoop();
}

QString PermissionGuideView::caption()
{
    return QStringLiteral("Find this row and flip the switch on.");
}

bool PermissionGuideView::isOn() const
{
    return toggle_->isOn();
}

QSize PermissionGuideView::sizeHint() const
{
    const double captionHeight = QFontMetricsF(captionFont()).height();
    return QSizeF(maxWidth, rowHeight + spacing + captionHeight).toSize();
}

void PermissionGuideView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    stopLoop();
    toggle_->jumpTo(false);
    scheduleFlip(offSeconds, true);
}

void PermissionGuideView::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    stopLoop();
}

void PermissionGuideView::scheduleFlip(double seconds, bool on)
{
    timer_ = scheduler_.schedule(seconds, [self = QPointer(this), on] {
        if (!self)
            return;
        self->timer_ = 0;
        self->toggle_->setOn(on);
        self->scheduleFlip(on ? onSeconds : offSeconds, !on);
    });
}

void PermissionGuideView::stopLoop()
{
    scheduler_.cancel(timer_);
    timer_ = 0;
}

QRectF PermissionGuideView::rowRect() const
{
    return QRectF(0.5, 0.5, std::min<double>(width(), maxWidth) - 1, rowHeight - 1);
}

void PermissionGuideView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QSize toggle = toggle_->sizeHint();
    const QRectF row = rowRect();
    const double margin = (toggle.width() - DemoToggle::trackSize.width()) / 2;
    toggle_->setGeometry(int(row.right() - horizontalInset - DemoToggle::trackSize.width() - margin),
                         int(row.center().y() - toggle.height() / 2.0), toggle.width(), toggle.height());
}

void PermissionGuideView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette &colours = palette();
    const QRectF row = rowRect();

    QPainterPath shape;
    shape.addRoundedRect(row, 9, 9);
    painter.fillPath(shape, Palette::controlBackground(colours));
    painter.setPen(QPen(Palette::separator(colours), 1));
    painter.drawPath(shape);

    const QRectF icon(row.left() + horizontalInset, row.center().y() - iconSide / 2, iconSide, iconSide);
    if (const QIcon own = QApplication::windowIcon(); !own.isNull())
        own.paint(&painter, icon.toAlignedRect());
    else // no icon installed for this application: its outline, not a blank
        IconView::paintSymbol(painter, QStringLiteral("app"), icon.center(), iconSide / 1.2,
                              Palette::secondaryLabel(colours), SymbolCatalog::Weight::regular);

    painter.setFont(calloutFont(QFont::Medium));
    painter.setPen(Palette::label(colours));
    const QRectF name(icon.right() + 10, row.top(), row.width() / 2, row.height());
    painter.drawText(name, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tavelon"));

    const QFont small = captionFont();
    const QFontMetricsF metrics(small);
    const double symbolSize = small.pointSizeF();
    const QRectF line(0, row.bottom() + 0.5 + spacing, row.width(), metrics.height());
    const QColor ink = Palette::tertiaryLabel(colours);
    IconView::paintSymbol(painter, QStringLiteral("hand.point.up.left.fill"),
                          QPointF(line.left() + IconView::symbolSide(symbolSize) / 2, line.center().y()),
                          symbolSize, ink, SymbolCatalog::Weight::regular);
    painter.setFont(small);
    painter.setPen(ink);
    painter.drawText(line.adjusted(IconView::symbolSide(symbolSize) + symbolGap, 0, 0, 0),
                     Qt::AlignLeft | Qt::AlignVCenter, caption());
}

} // namespace vima
