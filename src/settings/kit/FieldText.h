#pragma once

#include "model/Text.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>

namespace vima {

// How much of a stored value a field and a text editor hold: more is never
// typed, and laying it out would stall the window.
inline constexpr qsizetype longestFieldText = 10'000;
inline constexpr qsizetype longestEditorText = 100'000;

// What a field holds of a stored value: all of it, or its start, cut, when it
// is longer or holds a character too long to keep whole. Showing never writes:
// the value changes only when the user edits what the field holds.
inline QString fieldText(const QString &value) { return Text::cut(value, longestFieldText); }

// Shows a value in a control without emitting its signals, and only when it
// differs, so that focus, cursor and scroll stay where the user left them.
inline void showText(QLineEdit *field, const QString &value)
{
    const QString text = fieldText(value);
    if (field->text() == text)
        return;
    const QSignalBlocker blocker(field);
    field->setText(text);
}

// A script or prompt shown cut is read only: an edit of its start would drop
// the rest unseen.
inline void showText(QPlainTextEdit *editor, const QString &value)
{
    const QString text = Text::cut(value, longestEditorText);
    editor->setReadOnly(text.size() != value.size());
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
