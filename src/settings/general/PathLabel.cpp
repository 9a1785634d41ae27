#include "settings/general/PathLabel.h"

#include "settings/kit/SettingsLooks.h"
#include "ui/PlainText.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

namespace vima {

PathLabel::PathLabel(const QString &path, QWidget *parent) : QWidget(parent), path_(path)
{
    setFont(monoFont(11));
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(plainToolTip(path));
    setAccessibleName(path);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QString PathLabel::shownText() const { return fontMetrics().elidedText(path_, Qt::ElideMiddle, width()); }

void PathLabel::copy() const { QGuiApplication::clipboard()->setText(path_); }

QSize PathLabel::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(path_) + 2, fontMetrics().height() + 4};
}

QSize PathLabel::minimumSizeHint() const { return {60, fontMetrics().height() + 4}; }

void PathLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(toneColor(Tone::label));
    painter.drawText(rect(), Qt::AlignVCenter | Qt::AlignLeft, shownText());
    if (hasFocus()) {
        painter.setPen(QPen(palette().highlight().color(), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void PathLabel::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PathLabel::contextMenuEvent(QContextMenuEvent *event)
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("Copy"), this, &PathLabel::copy);
    menu->popup(event->globalPos());
}

} // namespace vima
