#include "settings/ai/AISetupModel.h"

#include "ai/LLMService.h"
#include "services/PermissionsService.h"
#include "store/ConfigStore.h"

namespace vima {

AISetupModel::AISetupModel(ConfigStore &store, LLMService &llm, PermissionsService &permissions,
                           QObject *parent)
    : QObject(parent), store_(store), llm_(llm), permissions_(permissions)
{
    connect(&store_, &ConfigStore::configChanged, this, &AISetupModel::refresh);
    connect(&permissions_, &PermissionsService::accessibilityTrustedChanged, this, &AISetupModel::refresh);
    connect(&llm_, &LLMService::statusRevisionChanged, this, &AISetupModel::refresh);
    refresh();
}

QString AISetupModel::headline() const
{
    return state_.ready ? QStringLiteral("AI is ready — nothing to set up")
                        : QStringLiteral("AI isn't working yet");
}

// The detail looks at the on-device model first, the headline at the candidates.
QString AISetupModel::detail() const
{
    if (state_.onDevice.isReady())
        return QStringLiteral("Your Mac's built-in AI is on. Nothing to sign up for, nothing to pay.");
    if (state_.ready)
        return QStringLiteral("Tavelon is using the AI service you set up below.");
    if (state_.onDevice.kind == LLMProviderStatus::Case::needsKey)
        return QStringLiteral("No API key saved.");
    return state_.onDevice.text;
}

bool AISetupModel::canOpenAccessibilitySettings() const
{
    return permissions_.canOpenAccessibilitySettings();
}

void AISetupModel::openAccessibilitySettings()
{
    permissions_.openAccessibilitySettings();
}

void AISetupModel::refresh()
{
    const AISettings &settings = store_.config().ai;
    const State state{!llm_.candidates(AIPayload{}, settings).isEmpty(),
                      permissions_.isAccessibilityTrusted(),
                      llm_.statusText(LLMProviderKind::appleOnDevice, settings)};
    if (state == state_)
        return;
    state_ = state;
    Q_EMIT changed();
}

} // namespace vima
