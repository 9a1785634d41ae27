#include "settings/kit/SegmentedControl.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

namespace vima {

SegmentedControl::SegmentedControl(const QStringList &labels, QWidget *parent)
    : QWidget(parent), group_(new QButtonGroup(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // Exclusive by hand, so that no segment at all can be checked.
    group_->setExclusive(false);
    for (int index = 0; index < labels.size(); ++index) {
        auto *segment = new QToolButton;
        segment->setText(labels[index]);
        segment->setAccessibleName(labels[index]);
        segment->setCheckable(true);
        segment->setAutoRaise(false);
        segment->setFocusPolicy(Qt::StrongFocus);
        segment->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        group_->addButton(segment, index);
        layout->addWidget(segment);
    }
    connect(group_, &QButtonGroup::idClicked, this, [this](int index) {
        setCurrentIndex(index);
        Q_EMIT activated(index);
    });
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
    for (QAbstractButton *segment : group_->buttons())
        segment->setChecked(group_->id(segment) == index);
}

int SegmentedControl::count() const { return static_cast<int>(group_->buttons().size()); }

} // namespace vima
