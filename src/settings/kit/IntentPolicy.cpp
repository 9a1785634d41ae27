#include "settings/kit/IntentPolicy.h"

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>

namespace vima {

namespace {

constexpr auto policyName = "vima-intent-policy";

bool isValueControl(const QWidget *widget)
{
    return qobject_cast<const QComboBox *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget)
        || (qobject_cast<const QAbstractSlider *>(widget) && !qobject_cast<const QScrollBar *>(widget));
}

// The value control that `widget` is, or is part of (a spin box's line edit).
QWidget *valueControlOf(QWidget *widget)
{
    for (; widget; widget = widget->isWindow() ? nullptr : widget->parentWidget())
        if (isValueControl(widget))
            return widget;
    return nullptr;
}

bool ownsFocus(const QWidget *control)
{
    const QWidget *focus = QApplication::focusWidget();
    return focus && (focus == control || control->isAncestorOf(focus));
}

QAbstractScrollArea *scrollAreaAround(QWidget *control)
{
    for (QWidget *widget = control->parentWidget(); widget && !widget->isWindow(); widget = widget->parentWidget())
        if (auto *area = qobject_cast<QAbstractScrollArea *>(widget))
            return area;
    return nullptr;
}

// Hands the turn to the page, or drops it where nothing scrolls.
void scrollPage(QWidget *control, QWheelEvent *wheel)
{
    QAbstractScrollArea *area = scrollAreaAround(control);
    if (!area)
        return;
    QWidget *viewport = area->viewport();
    QWheelEvent moved(viewport->mapFromGlobal(wheel->globalPosition()), wheel->globalPosition(),
                      wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(), wheel->modifiers(),
                      wheel->phase(), wheel->inverted(), wheel->source(), wheel->pointingDevice());
    QCoreApplication::sendEvent(viewport, &moved);
}

bool stepsThroughList(const QKeyEvent *key)
{
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End: return true;
    default: return false;
    }
}

} // namespace

void IntentPolicy::install()
{
    if (isInstalled() || !qApp)
        return;
    auto *policy = new IntentPolicy(qApp);
    policy->setObjectName(QLatin1String(policyName));
    qApp->installEventFilter(policy);
}

bool IntentPolicy::isInstalled()
{
    return qApp && qApp->findChild<IntentPolicy *>(QLatin1String(policyName), Qt::FindDirectChildrenOnly);
}

bool IntentPolicy::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    if (event->type() == QEvent::Wheel) {
        QWidget *control = valueControlOf(widget);
        if (!control || (ownsFocus(control) && !qobject_cast<QComboBox *>(control)))
            return false;
        scrollPage(control, static_cast<QWheelEvent *>(event));
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto *combo = qobject_cast<QComboBox *>(valueControlOf(widget));
        if (!combo || !stepsThroughList(static_cast<QKeyEvent *>(event)))
            return false;
        combo->showPopup();
        return true;
    }
    return false;
}

} // namespace vima
