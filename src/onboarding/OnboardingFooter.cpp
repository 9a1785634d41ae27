#include "onboarding/OnboardingFooter.h"

#include "onboarding/OnboardingModel.h"
#include "settings/kit/SettingsLooks.h"
#include "ui/Palette.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>

namespace vima {

namespace {

constexpr int pageCount = 3;
constexpr qreal markSide = 6;
constexpr qreal markSpacing = 6;

QPushButton *footerButton(const QString &title, bool prominent)
{
    return prominent ? inkButton(title) : new QPushButton(title);
}

} // namespace

OnboardingFooter::OnboardingFooter(OnboardingModel &model, QWidget *parent) : QWidget(parent), model_(model)
{
    row_ = new QHBoxLayout(this);
    row_->setContentsMargins(20, 14, 20, 14);
    row_->setSpacing(10);
    rebuild();
    connect(&model, &OnboardingModel::pageChanged, this, &OnboardingFooter::rebuild);
    connect(&model, &OnboardingModel::accessibilityTrustedChanged, this, &OnboardingFooter::rebuild);
}

void OnboardingFooter::rebuild()
{
    // A button may be rebuilt away from inside its own click.
    while (QLayoutItem *item = row_->takeAt(0)) {
        if (QWidget *widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    using Action = OnboardingModel::Action;
    const auto add = [this](const QString &title, Action action, bool prominent) {
        QPushButton *button = footerButton(title, prominent);
        connect(button, &QPushButton::clicked, &model_, [this, action] { model_.trigger(action); });
        row_->addWidget(button);
        button->show(); // now, not on the next turn of the event loop
    };
    if (model_.showsBack())
        add(QStringLiteral("Back"), Action::back, false);
    row_->addStretch();
    for (const OnboardingModel::FooterButton &button : model_.footerButtons())
        add(button.title, button.action, button.prominent);
    update();
}

QRect OnboardingFooter::buttonGap() const
{
    int left = row_->contentsRect().left();
    int right = row_->contentsRect().right();
    bool beforeStretch = true;
    for (int index = 0; index < row_->count(); ++index) {
        QLayoutItem *item = row_->itemAt(index);
        if (!item->widget()) {
            beforeStretch = false;
        } else if (beforeStretch) {
            left = item->geometry().right() + row_->spacing();
        } else {
            right = item->geometry().left() - row_->spacing();
            break;
        }
    }
    return QRect(QPoint(left, 0), QPoint(right, height()));
}

void OnboardingFooter::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const qreal width = pageCount * markSide + (pageCount - 1) * markSpacing;
    QPointF origin((this->width() - width) / 2, (height() - markSide) / 2);
    // Centred, unless the buttons reach the middle: then in the gap between them.
    const QRect gap = buttonGap();
    if (origin.x() < gap.left() || origin.x() + width > gap.right())
        origin.setX(std::max<qreal>(gap.left(), gap.center().x() - width / 2));
    const int current = static_cast<int>(model_.page());
    for (int page = 0; page < pageCount; ++page) {
        painter.setBrush(page == current ? Palette::label(palette()) : Palette::tertiaryLabel(palette()));
        painter.drawEllipse(QRectF(origin, QSizeF(markSide, markSide)));
        origin.rx() += markSide + markSpacing;
    }
}

} // namespace vima
