#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <array>
#include <cstddef>
#include <optional>

namespace vima {

// The raw value strings of an enumeration whose cases run 0, 1, 2 ... in
// declaration order; coded in JSON as those strings.
template<typename E, std::size_t N>
struct RawValues {
    std::array<QStringView, N> names;

    QString name(E value) const { return names.at(static_cast<std::size_t>(value)).toString(); }

    std::optional<E> parse(const QString &raw) const
    {
        for (std::size_t i = 0; i < N; ++i) {
            if (names[i] == raw)
                return static_cast<E>(i);
        }
        return std::nullopt;
    }

    QList<E> all() const
    {
        QList<E> cases;
        for (std::size_t i = 0; i < N; ++i)
            cases.append(static_cast<E>(i));
        return cases;
    }
};

} // namespace vima
