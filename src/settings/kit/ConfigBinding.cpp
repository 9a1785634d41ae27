#include "settings/kit/ConfigBinding.h"

#include "settings/kit/FieldText.h"
#include "settings/kit/SliderRow.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>

namespace vima::ConfigBinding {

void bind(ConfigStore &store, QCheckBox *box, ConfigField<bool> field, Edited edited)
{
    store.watch(box, field.get, [box](bool value) {
        if (box->isChecked() == value)
            return;
        const QSignalBlocker blocker(box);
        box->setChecked(value);
    });
    QObject::connect(box, &QCheckBox::toggled, box,
                     [&store, field, edited](bool checked) { write(store, field, checked, edited); });
}

void bind(ConfigStore &store, QLineEdit *edit, ConfigField<QString> field, Edited edited)
{
    store.watch(edit, field.get, [edit](const QString &value) {
        const QString text = fieldText(value);
        if (edit->text() == text)
            return;
        const QSignalBlocker blocker(edit);
        // A cursor inside the text stays put; one at the end stays at the end.
        const int cursor = edit->cursorPosition();
        const bool atEnd = cursor == edit->text().size();
        edit->setText(text);
        if (!atEnd)
            edit->setCursorPosition(std::min(cursor, static_cast<int>(text.size())));
    });
    QObject::connect(edit, &QLineEdit::textChanged, edit,
                     [&store, field, edited](const QString &text) { write(store, field, text, edited); });
}

void bind(ConfigStore &store, QSpinBox *box, ConfigField<qint64> field, Edited edited)
{
    store.watch(box, field.get, [box](qint64 value) {
        if (box->value() == value)
            return;
        const QSignalBlocker blocker(box);
        box->setValue(static_cast<int>(std::clamp<qint64>(value, box->minimum(), box->maximum())));
    });
    QObject::connect(box, &QSpinBox::valueChanged, box,
                     [&store, field, edited](int value) { write(store, field, qint64(value), edited); });
}

void bind(ConfigStore &store, SliderRow *row, ConfigField<double> field, Edited edited)
{
    store.watch(row, field.get, [row](double value) {
        if (row->value() != value)
            row->setValue(value);
    });
    QObject::connect(row, &SliderRow::moved, row,
                     [&store, field, edited](double value) { write(store, field, value, edited); });
}

} // namespace vima::ConfigBinding
