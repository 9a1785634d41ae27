#pragma once

#include "SettingsHarness.h"
#include "ai/LLMService.h"
#include "async/FakeScheduler.h"
#include "platform/fake/FakeAccessibilityPermission.h"
#include "platform/fake/FakeSecretStore.h"
#include "services/Keychain.h"
#include "services/PermissionsService.h"
#include "store/ConfigStore.h"

#include <QCoroSignal>
#include <QSettings>
#include <QTemporaryDir>
#include <map>
#include <memory>

namespace vima::test {

// Opens the providers' held answers.
class Gate : public QObject {
    Q_OBJECT
Q_SIGNALS:
    void opened();
};

// What the scripted providers answer, and what they were asked.
struct ProviderScript {
    std::map<LLMProviderKind, LLMProviderStatus> keylessStatus{
        {LLMProviderKind::appleOnDevice, LLMProviderStatus::ready()},
        {LLMProviderKind::ollama, LLMProviderStatus::unavailable(QStringLiteral("Ollama isn't running."))}};
    std::optional<LLMError> failure;
    bool hold = false;
    Gate gate;
    QList<std::optional<QString>> testedKeys;
};

// A cloud provider is ready with a key and needs one without; the others
// report the scripted status.
class ScriptedProvider final : public LLMProvider {
public:
    ScriptedProvider(LLMProviderKind kind, ProviderScript &script) : kind_(kind), script_(script) {}

    LLMProviderKind kind() const override { return kind_; }
    LLMProviderStatus status(const LLMCredentials &credentials, const QString &) const override
    {
        if (kind_ == LLMProviderKind::anthropic || kind_ == LLMProviderKind::openai)
            return credentials.hasAPIKey() ? LLMProviderStatus::ready() : LLMProviderStatus::needsKey();
        return script_.keylessStatus.at(kind_);
    }
    QCoro::Task<LLMResponse> complete(LLMRequest request, LLMCredentials credentials,
                                      CancellationToken token) const override
    {
        Q_UNUSED(request)
        Q_UNUSED(token)
        ProviderScript &script = script_;
        script.testedKeys.append(credentials.apiKey);
        if (script.hold)
            co_await qCoro(&script.gate, &Gate::opened);
        if (script.failure)
            throw *script.failure;
        co_return LLMResponse{QStringLiteral("ok")};
    }

private:
    LLMProviderKind kind_;
    ProviderScript &script_;
};

// The AI tab's services: a store in a temporary folder, a keyring in memory,
// scripted providers in a real LLMService, the fake grant and user defaults
// in a temporary file.
struct AIFixture {
    QTemporaryDir folder;
    FakeScheduler scheduler;
    ConfigStore store{folder.path(), scheduler};
    FakeSecretStore secrets;
    Keychain keychain{secrets};
    FakeAccessibilityPermission permission;
    PermissionsService permissions{permission, scheduler};
    ProviderScript script;
    OllamaReachability reachability{scheduler};
    LLMService llm{[this](LLMProviderKind kind) { return keychain.apiKey(kind); }, providers(), reachability};
    QSettings defaults{folder.filePath(QStringLiteral("defaults.ini")), QSettings::IniFormat};

    ~AIFixture() { outliveProbes(reachability); }

    LLMService::ProviderTable providers()
    {
        LLMService::ProviderTable table;
        for (const LLMProviderKind kind : allProviderKinds())
            table.emplace(kind, std::make_unique<ScriptedProvider>(kind, script));
        return table;
    }

    void setAI(const std::function<void(AISettings &)> &change)
    {
        store.edit([&change](VimaConfig &config) { change(config.ai); });
    }
};

} // namespace vima::test
