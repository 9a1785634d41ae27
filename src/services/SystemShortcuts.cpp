#include "services/SystemShortcuts.h"

#include <QRegularExpression>
#include <QVariantList>
#include <algorithm>

namespace vima {

namespace {

const QString genericReason = QStringLiteral("macOS has already assigned it a system shortcut.");
constexpr quint32 noKey = 65535;

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool isMap(const QVariant &value) { return value.typeId() == QMetaType::QVariantMap; }

std::optional<qint64> parseNumber(const QString &key)
{
    static const QRegularExpression decimal(QStringLiteral("^[+-]?[0-9]+$"));
    if (!decimal.match(key).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 number = key.toLongLong(&ok);
    return ok ? std::optional(number) : std::nullopt;
}

} // namespace

const QString SystemShortcuts::anotherApplication = QStringLiteral("Another application");

SystemShortcuts::SystemShortcuts(const SymbolicHotKeyPreferences &preferences, const HotKeyProbe &probe)
    : preferences_(preferences), probe_(probe)
{
}

const std::map<qint64, SystemShortcuts::Reservation> &SystemShortcuts::defaultReservations()
{
    static const std::map<qint64, Reservation> table{
        {60, {49, 0x40000, QStringLiteral("macOS uses it to select the previous input source.")}},
        {61, {49, 0xC0000, QStringLiteral("macOS uses it to select the next input source.")}},
        {64, {49, 0x100000, QStringLiteral("macOS uses it for Spotlight.")}},
        {65, {49, 0x180000, QStringLiteral("macOS uses it for the Spotlight file window.")}},
        {32, {126, 0x40000, QStringLiteral("macOS uses it for Mission Control.")}},
        {33, {125, 0x40000, QStringLiteral("macOS uses it to show application windows.")}},
        {79, {123, 0x40000, QStringLiteral("macOS uses it to move one Space left.")}},
        {81, {124, 0x40000, QStringLiteral("macOS uses it to move one Space right.")}},
        {98, {44, 0x120000, QStringLiteral("macOS uses it to open the Help menu.")}},
    };
    return table;
}

const QList<SystemShortcuts::Reservation> &SystemShortcuts::fixedReservations()
{
    static const QList<Reservation> table{
        {48, 0x100000, QStringLiteral("macOS uses it to switch apps.")},
        {48, 0x120000, QStringLiteral("macOS uses it to switch apps.")},
        {12, 0x100000, QStringLiteral("\u2318Q quits the frontmost app.")},
        {53, 0x180000, QStringLiteral("macOS uses it for Force Quit.")},
    };
    return table;
}

const QList<SystemShortcuts::Reservation> &SystemShortcuts::userReservations() const
{
    if (!userReservations_)
        userReservations_ = build(preferences_.symbolicHotKeys());
    return *userReservations_;
}

std::optional<SystemShortcuts::Reservation> SystemShortcuts::reservation(quint32 keyCode,
                                                                         quint64 flags) const
{
    const quint64 masked = flags & flagMask;
    for (const Reservation &reserved : userReservations()) {
        if (reserved.keyCode == keyCode && reserved.flags == masked)
            return Reservation{keyCode, masked, reserved.name};
    }
    // Asked each time: other programs take and drop their grabs as they run.
    if (probe_.isHeldElsewhere(keyCode, masked))
        return Reservation{keyCode, masked, anotherApplication};
    return std::nullopt;
}

QList<SystemShortcuts::Reservation>
SystemShortcuts::build(const std::optional<QVariantMap> &preferences)
{
    std::map<qint64, Reservation> working = defaultReservations();
    if (preferences) {
        for (auto it = preferences->constBegin(); it != preferences->constEnd(); ++it)
            apply(working, it.key(), it.value());
    }
    QList<Reservation> result;
    for (const auto &[number, reserved] : working)
        result.append(reserved);
    for (const Reservation &fixed : fixedReservations()) {
        const bool present = std::any_of(result.cbegin(), result.cend(), [&](const Reservation &r) {
            return r.keyCode == fixed.keyCode && r.flags == fixed.flags;
        });
        if (!present)
            result.append(fixed);
    }
    return result;
}

void SystemShortcuts::apply(std::map<qint64, Reservation> &reservations, const QString &key,
                            const QVariant &entry)
{
    const auto number = parseNumber(key);
    if (!number || !isMap(entry))
        return;
    const QVariantMap fields = entry.toMap();
    const QVariant enabled = fields.value(QStringLiteral("enabled"));
    if (isNumber(enabled) && !enabled.toBool()) {
        reservations.erase(*number);
        return;
    }
    const QVariant value = fields.value(QStringLiteral("value"));
    if (!isMap(value))
        return;
    const QVariant parameters = value.toMap().value(QStringLiteral("parameters"));
    if (parameters.typeId() != QMetaType::QVariantList)
        return;
    const QVariantList list = parameters.toList();
    if (list.size() < 3 || !isNumber(list.at(1)) || !isNumber(list.at(2)))
        return;
    const auto keyCode = static_cast<quint32>(list.at(1).toLongLong());
    const auto modifiers = static_cast<quint64>(list.at(2).toLongLong());
    if (keyCode == noKey)
        return;
    if ((modifiers & flagMask) == 0) {
        reservations.erase(*number);
        return;
    }
    const auto known = defaultReservations().find(*number);
    const QString reason = known != defaultReservations().end() ? known->second.name : genericReason;
    reservations[*number] = Reservation{keyCode, modifiers & flagMask, reason};
}

} // namespace vima
