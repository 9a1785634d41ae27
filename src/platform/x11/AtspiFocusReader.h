#pragma once

#include <QCoroTask>
#include <QFuture>
#include <QString>
#include <optional>

namespace vima {

// Asks an application, over the accessibility bus (AT-SPI 2), whether the
// object that holds its keyboard focus takes typing. Advisory: an absent,
// slow or silent bus, or a focus it can't find in time, doesn't say.
class AtspiFocusReader {
public:
    QCoro::Task<std::optional<bool>> focusIsEditable(qint64 pid);

private:
    // The name of the connection to the accessibility bus, once there is one.
    QCoro::Task<std::optional<QString>> connection(qint64 budgetEnd);

    QFuture<QString> connecting_;
};

} // namespace vima
