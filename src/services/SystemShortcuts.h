#pragma once

#include "platform/HotKeyProbe.h"
#include "platform/SymbolicHotKeyPreferences.h"

#include <QList>
#include <QString>
#include <map>
#include <optional>

namespace vima {

// Whether the system already uses a key combination, and why, in a sentence
// for the user. Built once, on the first lookup, from a table of the usual
// system shortcuts corrected by the user's own preferences; a combination
// another program holds at the time of the lookup is reserved too.
class SystemShortcuts {
public:
    struct Reservation {
        quint32 keyCode = 0;
        quint64 flags = 0; // masked with flagMask
        QString name;

        bool operator==(const Reservation &) const = default;
    };

    // Caps lock, Shift, Control, Option, Command.
    static constexpr quint64 flagMask = 0x1F0000;

    static const QString anotherApplication; // "Another application"

    SystemShortcuts(const SymbolicHotKeyPreferences &preferences, const HotKeyProbe &probe);

    std::optional<Reservation> reservation(quint32 keyCode, quint64 flags) const;
    const QList<Reservation> &userReservations() const;

    // Keyed by the system's symbolic-hotkey number.
    static const std::map<qint64, Reservation> &defaultReservations();
    static const QList<Reservation> &fixedReservations();

private:
    static QList<Reservation> build(const std::optional<QVariantMap> &preferences);
    static void apply(std::map<qint64, Reservation> &reservations, const QString &key,
                      const QVariant &entry);

    const SymbolicHotKeyPreferences &preferences_;
    const HotKeyProbe &probe_;
    mutable std::optional<QList<Reservation>> userReservations_;
};

} // namespace vima
