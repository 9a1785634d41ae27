#pragma once

// Binds a control to one configuration field:
//
//     ConfigBinding::bind(store, toggle, configField(&VimaConfig::selection, &SelectionSettings::clipboardFallback));
//     ConfigBinding::bind(store, theme, configField(&VimaConfig::appearance, &Appearance::theme),
//                         QList<AppTheme>{AppTheme::system, AppTheme::light, AppTheme::dark});
//
// The control is filled at once and refreshed in place (under a
// QSignalBlocker, only when its shown value differs: focus, cursor and
// selection stay) whenever that field changes. Every change of the control's
// state writes (a click, a key, a screen reader, voice control, automation
// all change it the same way), through ConfigStore::edit and only a value
// that differs; the binding's own refresh is blocked, so a show, a refresh
// or a load never writes, so the guard that keeps an unreadable
// config.json from being overwritten holds until the user really changes
// something. `edited` runs after each write that changed the configuration.
// Bindings live as long as their control.

#include "settings/kit/ConfigField.h"
#include "settings/kit/SegmentedControl.h"
#include "store/ConfigStore.h"

#include <QComboBox>
#include <QList>
#include <QSignalBlocker>
#include <functional>

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace vima {

class SliderRow;

namespace ConfigBinding {

using Edited = std::function<void()>;

// Writes `value` into `field` through the store; runs `edited` when that changed anything.
template <typename T>
void write(ConfigStore &store, const ConfigField<T> &field, const T &value, const Edited &edited = {})
{
    if (store.edit([&](VimaConfig &config) { field.set(config, value); }) && edited)
        edited();
}

// Every toggle writes.
void bind(ConfigStore &store, QCheckBox *box, ConfigField<bool> field, Edited edited = {});
// Every text change writes; a refresh keeps the cursor where it was.
void bind(ConfigStore &store, QLineEdit *edit, ConfigField<QString> field, Edited edited = {});
// A value typed or stepped writes; the box shows an out-of-range value at its bound without writing it.
void bind(ConfigStore &store, QSpinBox *box, ConfigField<qint64> field, Edited edited = {});
// Every move of the slider writes; the label shows the stored value, never clamped.
void bind(ConfigStore &store, SliderRow *row, ConfigField<double> field, Edited edited = {});

// The i-th item (or segment) stands for values[i]; a stored value not among
// them shows no selection.
template <typename T>
void bind(ConfigStore &store, QComboBox *box, ConfigField<T> field, QList<T> values, Edited edited = {})
{
    store.watch(box, field.get, [box, values](const T &value) {
        const int index = static_cast<int>(values.indexOf(value));
        if (box->currentIndex() == index)
            return;
        const QSignalBlocker blocker(box);
        box->setCurrentIndex(index);
    });
    QObject::connect(box, &QComboBox::currentIndexChanged, box, [&store, field, values, edited](int index) {
        if (index >= 0 && index < values.size())
            write(store, field, values[index], edited);
    });
}

// A choice that `accepts` turns down is not written: the stored one stays selected.
template <typename T>
void bind(ConfigStore &store, SegmentedControl *control, ConfigField<T> field, QList<T> values,
          Edited edited = {}, std::function<bool(const T &)> accepts = {})
{
    store.watch(control, field.get, [control, values](const T &value) {
        const int index = static_cast<int>(values.indexOf(value));
        if (control->currentIndex() != index)
            control->setCurrentIndex(index);
    });
    QObject::connect(control, &SegmentedControl::currentIndexChanged, control,
                     [&store, control, field, values, edited, accepts](int index) {
                         if (index < 0 || index >= values.size())
                             return;
                         if (!accepts || accepts(values[index]))
                             write(store, field, values[index], edited);
                         else
                             control->setCurrentIndex(static_cast<int>(values.indexOf(field.get(store.config()))));
                     });
}

} // namespace ConfigBinding

} // namespace vima
