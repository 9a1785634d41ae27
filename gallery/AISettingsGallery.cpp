#include "Gallery.h"

#include "SettingsHarness.h"
#include "settings/ai/AIAdvancedForm.h"
#include "settings/ai/AISettingsModel.h"
#include "settings/ai/AISettingsPage.h"
#include "settings/permissions/PermissionsPage.h"

#include <QLineEdit>

using namespace vima;

namespace {

// The settings services with the real providers' statuses: a cloud provider
// is ready once its key is saved, the on-device model never runs here.
struct AIGalleryContext {
    test::SettingsHarness harness;

    AIGalleryContext(LLMProviderKind provider, const QString &mode)
    {
        VimaConfig config = ConfigStore::makeDefaultConfig();
        config.ai.provider = provider;
        config.ai.model = defaultModel(provider);
        harness.fixture.open(config);
        harness.userDefaults.setValue(AISettingsModel::modeKey, mode);
        harness.llm = std::make_unique<LLMService>(
            [this](LLMProviderKind kind) { return harness.keychain->apiKey(kind); },
            LLMService::standardProviders({}, harness.ollama, harness.fixture.scheduler), harness.ollama);
        harness.context();
    }
    SettingsContext &context() { return harness.context(); }
};

void drawSimple(LLMProviderKind provider, bool withKey, const QString &name)
{
    AIGalleryContext ai(provider, QStringLiteral("simple"));
    if (withKey)
        ai.harness.keychain->setAPIKey(QStringLiteral("sk-ant-gallery"), provider);
    AISettingsPage page(ai.context());
    page.resize(860, 900);
    gallery::save(page, name);
}

void drawAdvanced(LLMProviderKind provider)
{
    AIGalleryContext ai(provider, QStringLiteral("advanced"));
    ai.harness.accessibility.trusted = true;
    ai.harness.permissions->recheck();
    AISettingsPage page(ai.context());
    page.resize(860, 1700);
    if (provider == LLMProviderKind::anthropic) {
        page.show(); // a show clears the result line: save after it
        AISettingsModel &model = page.model();
        model.setKeyDraft(QStringLiteral("sk-ant-gallery"));
        model.saveKey();
    }
    gallery::save(page, QStringLiteral("ai-advanced-") + rawValue(provider));
}

void drawAI()
{
    drawSimple(LLMProviderKind::appleOnDevice, false, QStringLiteral("ai-simple-not-ready"));
    drawSimple(LLMProviderKind::anthropic, true, QStringLiteral("ai-simple-ready"));
    for (const LLMProviderKind kind : allProviderKinds())
        drawAdvanced(kind);
}

void drawPermissions()
{
    for (const bool granted : {true, false}) {
        test::SettingsHarness harness;
        harness.fixture.open();
        harness.accessibility.trusted = granted;
        PermissionsPage page(harness.context());
        page.resize(860, 1100);
        gallery::save(page, granted ? QStringLiteral("permissions-granted") : QStringLiteral("permissions-not-granted"));
    }
}

const gallery::Pictures aiPictures("ai", drawAI);
const gallery::Pictures permissionPictures("permissions", drawPermissions);

} // namespace
