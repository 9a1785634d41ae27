#include "actions/BusyHUDView.h"

#include "ui/PanelFrame.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace vima {
namespace {

// A small circular spinner.
class Spinner : public QWidget {
public:
    Spinner()
    {
        setFixedSize(16, 16);
        auto *timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this] {
            angle_ = (angle_ + 30) % 360;
            update();
        });
        timer->start(80);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(palette().windowText().color(), 2, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(QRectF(rect()).adjusted(2, 2, -2, -2), -angle_ * 16, 270 * 16);
    }

private:
    int angle_ = 0;
};

} // namespace

BusyHUDView::BusyHUDView(const QString &message, std::function<void()> onCancel)
    : message_(new QLabel(message)), onCancel_(std::move(onCancel))
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                   | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 10, 14, 10);
    layout->setSpacing(10);
    message_->setObjectName(QStringLiteral("message"));
    message_->setTextFormat(Qt::PlainText); // it names the running item
    QFont font = message_->font();
    font.setPointSizeF(13 * 0.75);
    font.setWeight(QFont::Medium);
    message_->setFont(font);
    auto *cancel = new QPushButton(QStringLiteral("✕"));
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setFlat(true);
    cancel->setFocusPolicy(Qt::NoFocus);
    cancel->setToolTip(QStringLiteral("Cancel (Esc)"));
    connect(cancel, &QPushButton::clicked, this, [this] {
        if (onCancel_)
            onCancel_();
    });
    layout->addWidget(new Spinner);
    layout->addWidget(message_);
    layout->addWidget(cancel);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString BusyHUDView::message() const { return message_->text(); }

void BusyHUDView::setMessage(const QString &message) { message_->setText(message); }

void BusyHUDView::paintEvent(QPaintEvent *) { PanelFrame::capsule().paint(*this); }

void BusyHUDView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    PanelFrame::capsule().clip(*this);
}

} // namespace vima
