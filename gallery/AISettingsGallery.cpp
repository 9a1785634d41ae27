#include "Gallery.h"

#include "Await.h"
#include "SettingsHarness.h"
#include "http/LoopbackHttpServer.h"
#include "settings/ai/AIAdvancedForm.h"
#include "settings/ai/AISettingsModel.h"
#include "settings/ai/AISettingsPage.h"
#include "settings/permissions/PermissionsPage.h"

#include <QLineEdit>

using namespace vima;

namespace {

// What the local Ollama server says, as the simple view shows it.
enum class Server { absent, withoutModel, withModel };

// The settings services with the real providers' statuses: a cloud provider
// is ready once its key is saved, the on-device model never runs here, and
// the local server is a stub on loopback, probed before the page is built.
struct AIGalleryContext {
    LoopbackHttpServer server;
    test::SettingsHarness harness;

    AIGalleryContext(LLMProviderKind provider, const QString &mode, Server state = Server::withModel)
    {
        server.setRoute("/api/tags", HttpRoute::reply(200, state == Server::withModel
                                                               ? R"({"models":[{"name":"llama3.2:latest"}]})"
                                                               : R"({"models":[{"name":"qwen2.5:7b"}]})"));
        VimaConfig config = ConfigStore::makeDefaultConfig();
        config.ai.provider = provider;
        config.ai.model = defaultModel(provider);
        config.ai.ollamaBaseURL = state == Server::absent
            ? QStringLiteral("http://127.0.0.1:%1").arg(LoopbackHttpServer::closedPort())
            : server.url(QString()).toString();
        harness.fixture.open(config);
        harness.userDefaults.setValue(AISettingsModel::modeKey, mode);
        harness.llm = std::make_unique<LLMService>(
            [this](LLMProviderKind kind) { return harness.keychain->apiKey(kind); },
            LLMService::standardProviders({}, harness.ollama, harness.fixture.scheduler), harness.ollama);
        // The usual X11 session, with XTest; drawUntrusted shows it missing.
        harness.accessibility.trusted = true;
        harness.context();
        test::await(harness.llm->refresh(config.ai));
    }
    SettingsContext &context() { return harness.context(); }
};

// A cloud provider's saved key, which a local choice sends strong-model actions to.
void saveKey(AIGalleryContext &ai, std::optional<LLMProviderKind> kind)
{
    if (kind)
        test::await(ai.harness.keychain->setAPIKey(QStringLiteral("sk-gallery"), *kind));
}

void drawSimple(LLMProviderKind provider, Server state, std::optional<LLMProviderKind> key, const QString &name)
{
    AIGalleryContext ai(provider, QStringLiteral("simple"), state);
    saveKey(ai, key);
    AISettingsPage page(ai.context());
    page.resize(860, 900);
    gallery::save(page, name);
}

void drawAdvanced(LLMProviderKind provider, std::optional<LLMProviderKind> key = {},
                  const QString &suffix = {})
{
    AIGalleryContext ai(provider, QStringLiteral("advanced"));
    saveKey(ai, key);
    AISettingsPage page(ai.context());
    page.resize(860, 1700);
    if (provider == LLMProviderKind::anthropic) {
        page.show(); // a show clears the result line: save after it
        AISettingsModel &model = page.model();
        model.setKeyDraft(QStringLiteral("sk-ant-gallery"));
        model.saveKey();
    }
    gallery::save(page, QStringLiteral("ai-advanced-") + rawValue(provider) + suffix);
}

// An X server without XTest: each view's warning, leading to the Permissions tab.
void drawUntrusted(const QString &mode)
{
    AIGalleryContext ai(LLMProviderKind::ollama, mode);
    ai.harness.accessibility.trusted = false;
    ai.harness.permissions->recheck();
    AISettingsPage page(ai.context());
    page.resize(860, mode == QLatin1String("simple") ? 1000 : 1800);
    gallery::save(page, QStringLiteral("ai-") + mode + QStringLiteral("-no-xtest"));
}

void drawAI()
{
    const auto ollama = LLMProviderKind::ollama;
    const auto anthropic = LLMProviderKind::anthropic;
    drawSimple(ollama, Server::absent, {}, QStringLiteral("ai-simple-ollama-no-server"));
    drawSimple(ollama, Server::withoutModel, {}, QStringLiteral("ai-simple-ollama-not-pulled"));
    drawSimple(ollama, Server::withModel, {}, QStringLiteral("ai-simple-ollama-ready"));
    drawSimple(ollama, Server::withModel, anthropic, QStringLiteral("ai-simple-ollama-cloud-key"));
    drawSimple(anthropic, Server::absent, anthropic, QStringLiteral("ai-simple-cloud"));
    // A keyless cloud choice that falls back to another cloud key.
    drawSimple(LLMProviderKind::openai, Server::absent, anthropic, QStringLiteral("ai-simple-cloud-fallback"));
    drawSimple(LLMProviderKind::appleOnDevice, Server::absent, {}, QStringLiteral("ai-simple-on-device-stored"));
    for (const LLMProviderKind kind : allProviderKinds())
        drawAdvanced(kind);
    drawAdvanced(ollama, anthropic, QStringLiteral("-cloud-key"));
    drawAdvanced(LLMProviderKind::openai, anthropic, QStringLiteral("-fallback"));
    drawUntrusted(QStringLiteral("simple"));
    drawUntrusted(QStringLiteral("advanced"));
}

void drawPermissions()
{
    using Trust = AccessibilityPermission::Trust;
    for (const auto &[trust, name] : {std::pair{Trust::trusted, QStringLiteral("permissions-granted")},
                                      std::pair{Trust::noXTest, QStringLiteral("permissions-no-xtest")},
                                      std::pair{Trust::noX11Session, QStringLiteral("permissions-no-x11")}}) {
        test::SettingsHarness harness;
        harness.fixture.open();
        harness.accessibility.trusted = trust == Trust::trusted;
        harness.accessibility.missing = trust;
        harness.accessibility.changes = false; // as on X11: no "Check Again"
        PermissionsPage page(harness.context());
        page.resize(860, 1100);
        gallery::save(page, name);
    }
}

const gallery::Pictures aiPictures("ai", drawAI);
const gallery::Pictures permissionPictures("permissions", drawPermissions);

} // namespace
