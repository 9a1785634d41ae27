#include "settings/kit/SegmentedControl.h"

#include "ui/AccessibleFactory.h"
#include "ui/Palette.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPainter>
#include <QScopedValueRollback>
#include <QToolButton>

namespace vima {

namespace {

constexpr double trackRadius = 7;
constexpr double inset = 2;

// One choice: its text alone, or, chosen, on a pill of the ink colour. The
// track behind the row is the control's.
class Segment final : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (!isEnabled())
            painter.setOpacity(0.45);
        const QRectF pill = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
        const double radius = trackRadius - inset;
        if (isChecked()) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(Palette::adaptiveGrey());
            painter.drawRoundedRect(pill, radius, radius);
        } else if (isDown() || underMouse()) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(Palette::selectedContentBackground());
            painter.drawRoundedRect(pill, radius, radius);
        }
        // Dashed, inside the pill: a focused segment must not pass for the chosen one.
        if (hasFocus()) {
            painter.setPen(QPen(isChecked() ? Palette::onInk() : Palette::controlBoundary(), 1, Qt::DashLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(pill.adjusted(2.5, 2.5, -2.5, -2.5), radius - 2, radius - 2);
        }
        QFont font = this->font();
        if (isChecked())
            font.setWeight(QFont::DemiBold);
        painter.setFont(font);
        painter.setPen(isChecked() ? Palette::onInk() : Palette::label());
        painter.drawText(rect(), Qt::AlignCenter, text());
    }

    QSize sizeHint() const override
    {
        QFont bold = font();
        bold.setWeight(QFont::DemiBold);
        const QFontMetrics metrics(bold);
        return {metrics.horizontalAdvance(text()) + 24, metrics.height() + 10};
    }
};

// A group to assistive technology, which a screen reader names on entering
// it (a plain widget is a nameless filler there).
class SegmentedGroupAccessible final : public QAccessibleWidget {
public:
    explicit SegmentedGroupAccessible(QWidget *control) : QAccessibleWidget(control, QAccessible::Grouping) {}
};

} // namespace

SegmentedControl::SegmentedControl(const QStringList &labels, QWidget *parent)
    : QWidget(parent), group_(new QButtonGroup(this))
{
    installAccessibleFactory<SegmentedControl, SegmentedGroupAccessible>();
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // Exclusive by hand, so that no segment at all can be checked.
    group_->setExclusive(false);
    for (int index = 0; index < labels.size(); ++index) {
        auto *segment = new Segment;
        segment->setText(labels[index]);
        segment->setAccessibleName(labels[index]);
        segment->setCheckable(true);
        segment->setAttribute(Qt::WA_Hover);
        segment->setFocusPolicy(Qt::StrongFocus);
        segment->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        group_->addButton(segment, index);
        layout->addWidget(segment);
    }
    connect(group_, &QButtonGroup::idToggled, this, &SegmentedControl::segmentToggled);
}

void SegmentedControl::segmentToggled(int index, bool checked)
{
    if (updating_)
        return;
    setCurrentIndex(index);
    if (checked)
        Q_EMIT currentIndexChanged(index);
}

int SegmentedControl::currentIndex() const
{
    for (QAbstractButton *segment : group_->buttons())
        if (segment->isChecked())
            return group_->id(segment);
    return -1;
}

void SegmentedControl::setCurrentIndex(int index)
{
    const QScopedValueRollback guard(updating_, true);
    for (QAbstractButton *segment : group_->buttons())
        segment->setChecked(group_->id(segment) == index);
}

void SegmentedControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Palette::controlBoundary(), 1));
    painter.setBrush(Palette::controlBackground());
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), trackRadius, trackRadius);
}

int SegmentedControl::count() const { return static_cast<int>(group_->buttons().size()); }

} // namespace vima
