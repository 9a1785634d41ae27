#include "actions/ErrorDescription.h"

#include "actions/ActionError.h"
#include "actions/SelectionError.h"
#include "ai/LLMError.h"
#include "platform/PlatformError.h"

namespace vima {

ErrorDescription ErrorDescription::of(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const ActionError &e) {
        return {e.description(), e.recoverySuggestion()};
    } catch (const SelectionError &e) {
        return {e.description(), e.recoverySuggestion()};
    } catch (const LLMError &e) {
        return {e.description(), e.recoverySuggestion()};
    } catch (const PlatformError &e) {
        return {e.description(), std::nullopt};
    } catch (const std::exception &e) {
        return {QString::fromUtf8(e.what()), std::nullopt};
    } catch (...) {
        return {QStringLiteral("Something went wrong."), std::nullopt};
    }
}

} // namespace vima
