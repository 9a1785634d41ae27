#pragma once

#include <QAccessible>
#include <QLatin1String>
#include <QObject>
#include <QString>

namespace vima {

// Qt asks every installed factory about every object it describes, so each
// widget class gets one factory, installed once however many widgets exist.
template <typename Widget, typename Interface>
void installAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory([](const QString &className, QObject *object) -> QAccessibleInterface * {
            if (object && object->isWidgetType() &&
                className == QLatin1String(Widget::staticMetaObject.className()))
                return new Interface(static_cast<Widget *>(object));
            return nullptr;
        });
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace vima
