#include "settings/ai/TextRoute.h"

#include "ai/LLMService.h"
#include "ai/ProviderDisplayName.h"

#include <QStringList>

namespace vima {

TextRoute TextRoute::of(const LLMService &llm, const AISettings &settings)
{
    TextRoute route{settings.provider, {}};
    if (route.chosenIsCloud())
        return route;
    // Asked as the runner asks for such an action, so what is said here is
    // where the text really goes.
    AIPayload strong;
    strong.needsStrongModel = true;
    for (const LLMProviderKind kind : llm.candidates(strong, settings)) {
        if (LLMService::isCloud(kind))
            route.strongModel << kind;
    }
    return route;
}

bool TextRoute::chosenIsCloud() const
{
    return LLMService::isCloud(chosen);
}

QString TextRoute::strongModelNotice() const
{
    if (strongModel.isEmpty())
        return {};
    QStringList names;
    for (const LLMProviderKind kind : strongModel)
        names << displayName(kind);
    const bool one = names.size() == 1;
    return QStringLiteral("Actions marked “Needs a strong model” go to ") + names.join(QStringLiteral(" or "))
           + (one ? QStringLiteral(", because its key is saved.") : QStringLiteral(", because their keys are saved."));
}

QString TextRoute::removeKeyLabel(LLMProviderKind kind)
{
    return QStringLiteral("Remove ") + displayName(kind) + QStringLiteral(" Key");
}

} // namespace vima
