#pragma once

#include <QAccessibleActionInterface>
#include <QAccessibleWidget>

namespace vima {

class ProviderRow;

// What assistive technology sees of a provider row: a radio button, checked
// while its provider is chosen, whose "Toggle" chooses it as a click does.
// The row itself stays a plain checkable button, so every row keeps its tab
// stop. Installed once by the first row.
class ProviderRowAccessible final : public QAccessibleWidget {
public:
    explicit ProviderRowAccessible(ProviderRow *row);

    static void installFactory();

    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &name) override;

private:
    ProviderRow *row() const;
};

} // namespace vima
