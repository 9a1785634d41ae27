#include "settings/ai/ProviderRowAccessible.h"

#include "settings/ai/ProviderRow.h"
#include "ui/AccessibleFactory.h"

namespace vima {

ProviderRowAccessible::ProviderRowAccessible(ProviderRow *row) : QAccessibleWidget(row, QAccessible::RadioButton) {}

void ProviderRowAccessible::installFactory() { installAccessibleFactory<ProviderRow, ProviderRowAccessible>(); }

ProviderRow *ProviderRowAccessible::row() const { return static_cast<ProviderRow *>(widget()); }

QAccessible::State ProviderRowAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = row()->isChosen();
    state.pressed = row()->isDown();
    return state;
}

QStringList ProviderRowAccessible::actionNames() const
{
    QStringList names;
    if (row()->isEnabled())
        names << toggleAction();
    return names + QAccessibleWidget::actionNames();
}

void ProviderRowAccessible::doAction(const QString &name)
{
    if (name == toggleAction()) {
        if (row()->isEnabled())
            row()->click();
        return;
    }
    QAccessibleWidget::doAction(name);
}

} // namespace vima
