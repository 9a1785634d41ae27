#include "actions/ErrorDescription.h"

#include "actions/PanelText.h"
#include "model/Text.h"
#include "model/UserError.h"

namespace vima {
namespace {

// An error may quote what it was given (a URL, a server's reply): what the
// user is told stays a message's length.
ErrorDescription bounded(const QString &message, const std::optional<QString> &recovery)
{
    return {Text::cut(message, PanelText::longestMessage),
            recovery ? std::optional(Text::cut(*recovery, PanelText::longestMessage)) : std::nullopt};
}

} // namespace

ErrorDescription ErrorDescription::of(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const UserError &e) {
        return bounded(e.description(), e.recoverySuggestion());
    } catch (const std::exception &e) {
        return bounded(QString::fromUtf8(e.what()), std::nullopt);
    } catch (...) {
        return {QStringLiteral("Something went wrong."), std::nullopt};
    }
}

} // namespace vima
