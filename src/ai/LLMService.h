#pragma once

#include "ai/AnthropicProvider.h"
#include "ai/LLMCredentials.h"
#include "ai/LLMError.h"
#include "ai/LLMProvider.h"
#include "ai/LLMProviderStatus.h"
#include "ai/LLMRequest.h"
#include "ai/OllamaReachability.h"
#include "ai/OpenAIProvider.h"
#include "async/CancellationToken.h"
#include "async/Scheduler.h"
#include "model/ItemAction.h"
#include "model/Settings.h"

#include <QCoroTask>
#include <QList>
#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace vima {

// The one way into the AI layer: chooses the providers that may serve an item,
// in order, and walks them with fallback.
class LLMService : public QObject {
    Q_OBJECT
    Q_PROPERTY(quint64 statusRevision READ statusRevision NOTIFY statusRevisionChanged)

public:
    // Reads the saved API key of a cloud provider; the composition root
    // installs the keyring here.
    using KeyLookup = std::function<std::optional<QString>(LLMProviderKind)>;
    using ProviderTable = std::map<LLMProviderKind, std::unique_ptr<const LLMProvider>>;

    // Where the cloud providers are reached; the public APIs unless told otherwise.
    struct Endpoints {
        std::optional<QUrl> anthropic = AnthropicProvider::publicEndpoint();
        std::optional<QUrl> openAI = OpenAIProvider::publicEndpoint();

        // The public APIs, or the addresses in TAVELON_ANTHROPIC_URL and
        // TAVELON_OPENAI_URL (a stand-in server, as the end-to-end tests use).
        static Endpoints fromEnvironment();
    };

    struct Completion {
        QString text;
        LLMProviderKind provider;
        std::optional<QString> fallbackNote;
        // The answer stopped at the token limit. Still an answer: no other
        // provider is asked.
        bool truncated = false;
    };

    // The four providers on the public APIs (or `endpoints`), sharing the
    // owner's reachability cache.
    static ProviderTable standardProviders(const Endpoints &endpoints,
                                           OllamaReachability &reachability, Scheduler &scheduler);

    LLMService(KeyLookup apiKey, ProviderTable providers,
               OllamaReachability &reachability, QObject *parent = nullptr);

    static QList<LLMProviderKind> fallbackOrder();
    // Whether a provider sends the text off this machine.
    static bool isCloud(LLMProviderKind kind);

    QList<LLMProviderKind> candidates(const AIPayload &payload, const AISettings &settings) const;
    // The candidates after probing the Ollama server again when it would be
    // considered and its last result is missing or stale.
    QCoro::Task<QList<LLMProviderKind>> freshCandidates(AIPayload payload, AISettings settings,
                                                        CancellationToken token = {});
    // `payload.systemPrompt` arrives fully expanded and is sent as it is.
    static LLMRequest makeRequest(const AIPayload &payload, const QString &userText,
                                  const AISettings &settings, LLMProviderKind kind);
    // The model a provider is asked for when no item overrides it.
    static QString modelFor(LLMProviderKind kind, const AISettings &settings);
    LLMCredentials credentials(LLMProviderKind kind, const AISettings &settings) const;

    QCoro::Task<Completion> complete(AIPayload payload, QString userText, AISettings settings,
                                     CancellationToken token = {});
    // What the user reads when `answering` stood in for `chosen` after
    // `failed` gave `lastError`; nothing when the chosen provider answered.
    static std::optional<QString> fallbackNote(LLMProviderKind chosen, LLMProviderKind answering,
                                               LLMProviderKind failed, const LLMError &lastError);
    // Why the chosen provider can't take a request, in its own words, led by
    // "No AI provider is set up yet." when it lacks a key or can't run here.
    QString noProviderDetail(const AISettings &settings) const;
    // What can run on this system when nothing can.
    static QString noProviderRecovery();
    // Whether a provider could answer for the configured model; a cloud
    // provider whose last connection failed reads unavailable with the reason,
    // though it is still tried.
    LLMProviderStatus statusText(LLMProviderKind kind, const AISettings &settings) const;

    // A one-word request with the given key; throws the provider's error.
    QCoro::Task<void> test(LLMProviderKind kind, std::optional<QString> apiKey, QString model,
                           CancellationToken token = {});
    // Probes the Ollama server, then raises statusRevision.
    QCoro::Task<void> refresh(AISettings settings);
    quint64 statusRevision() const { return statusRevision_; }
    // The Ollama probe results that the statuses are read from.
    const OllamaReachability &reachability() const { return reachability_; }

    // The configured Ollama address as written, or the default one when it is empty.
    static QString ollamaBaseURL(const AISettings &settings);

Q_SIGNALS:
    void statusRevisionChanged(quint64 revision);

private:
    QString chosenObstacle(const AISettings &settings) const;
    struct Failure {
        LLMProviderKind kind;
        LLMError error;
    };

    const LLMProvider *provider(LLMProviderKind kind) const;
    // The error of a walk in which nothing answered.
    LLMError failureOf(const QList<Failure> &failures, const AISettings &settings) const;
    QList<LLMProviderKind> consideredKinds(const AIPayload &payload, const AISettings &settings) const;
    // Whether a provider could answer for the model this payload asks it for.
    LLMProviderStatus statusFor(LLMProviderKind kind, const AIPayload &payload, const AISettings &settings) const;
    // Remembers whether a cloud provider's last request with `apiKey` reached
    // it (`failure` empty or an answer of the server) or not; true when that
    // changed what its row reads.
    bool rememberReach(LLMProviderKind kind, const std::optional<QString> &apiKey, const LLMError *failure);
    void raiseStatusRevision();

    KeyLookup apiKey_;
    ProviderTable providers_;
    OllamaReachability &reachability_;
    // A cloud provider has no cheap probe: its last failed connection, with
    // the key it was made with, stands until it answers or the key changes.
    struct Unreachable {
        std::optional<QString> apiKey;
        QString reason;
        bool operator==(const Unreachable &) const = default;
    };
    std::map<LLMProviderKind, Unreachable> unreachable_;
    quint64 statusRevision_ = 0;
};

} // namespace vima
