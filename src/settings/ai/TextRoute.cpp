#include "settings/ai/TextRoute.h"

#include "ai/LLMService.h"
#include "ai/ProviderDisplayName.h"

#include <QStringList>

#include <algorithm>

namespace vima {

namespace {

QString names(const QList<LLMProviderKind> &kinds)
{
    QStringList names;
    for (const LLMProviderKind kind : kinds)
        names << displayName(kind);
    return names.join(QStringLiteral(" or "));
}

} // namespace

TextRoute TextRoute::of(const LLMService &llm, const AISettings &settings)
{
    // Asked as the runner asks for each kind of action, so what is said here
    // is where the text really goes.
    const QList<LLMProviderKind> ordinary = llm.candidates(AIPayload{}, settings);
    TextRoute route{settings.provider, ordinary.contains(settings.provider) ? QList<LLMProviderKind>() : ordinary, {}};
    AIPayload strong;
    strong.needsStrongModel = true;
    for (const LLMProviderKind kind : llm.candidates(strong, settings)) {
        if (kind == route.chosen)
            break;
        if (LLMService::isCloud(kind))
            route.strongModel << kind;
    }
    return route;
}

bool TextRoute::chosenIsCloud() const
{
    return LLMService::isCloud(chosen);
}

bool TextRoute::staysLocal() const
{
    return !chosenIsCloud() && strongModel.isEmpty() && std::ranges::none_of(instead, LLMService::isCloud);
}

QString TextRoute::notice() const
{
    QStringList said;
    if (!instead.isEmpty())
        said << QStringLiteral("While ") + displayName(chosen) + QStringLiteral(" can't run, your text goes to ")
                    + names(instead) + QStringLiteral(" instead.");
    // Not said again when those go first where every action goes.
    if (!strongModel.isEmpty() && !instead.startsWith(strongModel.first()))
        said << QStringLiteral("Actions marked “Needs a strong model” go to ") + names(strongModel)
                    + (strongModel.size() == 1 ? QStringLiteral(", because its key is saved.")
                                               : QStringLiteral(", because their keys are saved."));
    return said.join(QLatin1Char(' '));
}

QString TextRoute::removeKeyLabel(LLMProviderKind kind)
{
    return QStringLiteral("Remove ") + displayName(kind) + QStringLiteral(" Key");
}

} // namespace vima
