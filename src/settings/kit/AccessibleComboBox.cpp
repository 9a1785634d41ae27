#include "settings/kit/AccessibleComboBox.h"

#include "ui/AccessibleFactory.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>

namespace vima {

AccessibleComboBox::AccessibleComboBox(QComboBox *combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

void AccessibleComboBox::installFactory() { installAccessibleFactory<QComboBox, AccessibleComboBox>(); }

QComboBox *AccessibleComboBox::comboBox() const { return static_cast<QComboBox *>(object()); }

QString AccessibleComboBox::text(QAccessible::Text type) const
{
    const QString shown = comboBox()->isEditable() ? comboBox()->lineEdit()->text() : comboBox()->currentText();
    switch (type) {
    case QAccessible::Value: return shown;
    case QAccessible::Name: {
        const QString name = QAccessibleWidget::text(type);
        return name.isEmpty() ? shown : name;
    }
    default: return QAccessibleWidget::text(type);
    }
}

// The list first, then the line edit of an editable box.
int AccessibleComboBox::childCount() const { return comboBox()->isEditable() ? 2 : 1; }

QAccessibleInterface *AccessibleComboBox::child(int index) const
{
    if (index == 0)
        return QAccessible::queryAccessibleInterface(comboBox()->view());
    if (index == 1 && comboBox()->isEditable())
        return QAccessible::queryAccessibleInterface(comboBox()->lineEdit());
    return nullptr;
}

int AccessibleComboBox::indexOfChild(const QAccessibleInterface *child) const
{
    if (child->object() == comboBox()->view())
        return 0;
    if (comboBox()->isEditable() && child->object() == comboBox()->lineEdit())
        return 1;
    return -1;
}

QAccessibleInterface *AccessibleComboBox::childAt(int x, int y) const
{
    QLineEdit *edit = comboBox()->isEditable() ? comboBox()->lineEdit() : nullptr;
    if (edit && QRect(edit->mapToGlobal(QPoint(0, 0)), edit->size()).contains(x, y))
        return child(1);
    return nullptr;
}

QStringList AccessibleComboBox::actionNames() const
{
    return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
}

// Opens the list, or closes it when open, as a click on the box does.
void AccessibleComboBox::doAction(const QString &name)
{
    if (name != showMenuAction() && name != pressAction())
        return QAccessibleWidget::doAction(name);
    if (comboBox()->view()->isVisible())
        comboBox()->hidePopup();
    else
        comboBox()->showPopup();
}

} // namespace vima
