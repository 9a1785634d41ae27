#pragma once

#include <QAccessibleWidget>

class QComboBox;

namespace vima {

// A combo box as assistive technology sees it: named by its label (its
// accessible name, else its buddy label), its current text read as its
// value. Qt's own interface names a combo box by its current text on Linux
// and ignores both, so the item editor's "Slot" box was announced as "2".
// Only a box with no name at all is still called by its current text. The
// list it opens and its line edit stay its children, as with Qt's.
class AccessibleComboBox final : public QAccessibleWidget {
public:
    explicit AccessibleComboBox(QComboBox *combo);

    // Idempotent; call before the first combo box is built, since an object
    // keeps the interface it was first given.
    static void installFactory();

    QString text(QAccessible::Text type) const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;

    QStringList actionNames() const override;
    void doAction(const QString &name) override;

private:
    QComboBox *comboBox() const;
};

} // namespace vima
