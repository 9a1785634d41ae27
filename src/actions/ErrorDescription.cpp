#include "actions/ErrorDescription.h"

#include "model/UserError.h"

namespace vima {

ErrorDescription ErrorDescription::of(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const UserError &e) {
        return {e.description(), e.recoverySuggestion()};
    } catch (const std::exception &e) {
        return {QString::fromUtf8(e.what()), std::nullopt};
    } catch (...) {
        return {QStringLiteral("Something went wrong."), std::nullopt};
    }
}

} // namespace vima
