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

    // What a focused object's role and states (AT-SPI's, both words) say:
    // editable and not read-only takes typing; a text field (text, entry,
    // password, paragraph, document) that isn't doesn't; anything else, such
    // as the drawing area Emacs types into, doesn't say.
    static std::optional<bool> takesTyping(std::optional<quint32> role, quint64 states);

private:
    // The name of the connection to the accessibility bus, once there is one.
    QCoro::Task<std::optional<QString>> connection(qint64 budgetEnd);

    QFuture<QString> connecting_;
};

} // namespace vima
