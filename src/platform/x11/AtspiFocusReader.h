#pragma once

#include <QCoroTask>
#include <QFuture>
#include <QList>
#include <QString>
#include <optional>

namespace vima {

// Asks an application, over the accessibility bus (AT-SPI 2), whether the
// object that holds its keyboard focus takes typing. Advisory: an absent,
// slow or silent bus, or a focus it can't find in time, doesn't say.
class AtspiFocusReader {
public:
    // AT-SPI's roles (AtspiRole) of objects that hold text to type into.
    enum Role : quint32 {
        passwordTextRole = 40,
        textRole = 61,
        paragraphRole = 73,
        entryRole = 79,
        documentFrameRole = 82,
        documentSpreadsheetRole = 92,
        documentPresentationRole = 93,
        documentTextRole = 94,
        documentWebRole = 95,
        documentEmailRole = 96,
    };

    QCoro::Task<std::optional<bool>> focusIsEditable(qint64 pid);

    // What a focused object's role and states (AT-SPI's, both words) say:
    // editable and not read-only takes typing; a text field (text, entry,
    // password, paragraph, document) that isn't doesn't; anything else, such
    // as a drawing area that a program draws its own text into, doesn't say.
    static std::optional<bool> takesTyping(std::optional<quint32> role, quint64 states);
    // A state set as GetState answers it, its 32-bit words low first, as one
    // value; none when it is empty.
    static std::optional<quint64> stateSet(const QList<quint32> &words);

private:
    // The name of the connection to the accessibility bus, once there is one.
    QCoro::Task<std::optional<QString>> connection(qint64 budgetEnd);

    QFuture<QString> connecting_;
};

} // namespace vima
