#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>

namespace vima {

// Shows a value in a control without emitting its signals, and only when it
// differs, so that focus, cursor and scroll stay where the user left them.
inline void showText(QLineEdit *field, const QString &text)
{
    if (field->text() == text)
        return;
    const QSignalBlocker blocker(field);
    field->setText(text);
}

inline void showText(QPlainTextEdit *editor, const QString &text)
{
    if (editor->toPlainText() == text)
        return;
    const QSignalBlocker blocker(editor);
    editor->setPlainText(text);
}

inline void showChecked(QAbstractButton *button, bool checked)
{
    const QSignalBlocker blocker(button);
    button->setChecked(checked);
}

inline void showIndex(QComboBox *combo, int index)
{
    const QSignalBlocker blocker(combo);
    combo->setCurrentIndex(index);
}

// Replaces the options only when they differ.
inline void showOptions(QComboBox *combo, const QStringList &options)
{
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i)
        shown << combo->itemText(i);
    if (shown == options)
        return;
    const QSignalBlocker blocker(combo);
    combo->clear();
    combo->addItems(options);
}

} // namespace vima
