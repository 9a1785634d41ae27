#include "settings/kit/RowButton.h"

#include "ui/Palette.h"

#include <QChildEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

namespace vima {

RowButton::RowButton(const QString &accessibleName, QWidget *parent)
    : QAbstractButton(parent)
    , row_(new QHBoxLayout(this))
{
    setAccessibleName(accessibleName);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize RowButton::sizeHint() const { return row_->sizeHint(); }

QSize RowButton::minimumSizeHint() const { return row_->minimumSize(); }

void RowButton::childEvent(QChildEvent *event)
{
    // The labels inside are the button's face: clicks go to the button.
    if (event->added() && event->child()->isWidgetType())
        static_cast<QWidget *>(event->child())->setAttribute(Qt::WA_TransparentForMouseEvents);
    QAbstractButton::childEvent(event);
}

void RowButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        click();
    else
        QAbstractButton::keyPressEvent(event);
}

void RowButton::paintEvent(QPaintEvent *)
{
    if (!underMouse() && !hasFocus() && !isDown())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(4, 1, -4, -1), 6, 6);
    painter.fillPath(path, Palette::selectedContentBackground());
}

} // namespace vima
