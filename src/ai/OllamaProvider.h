#pragma once

#include "ai/LLMProvider.h"
#include "ai/OllamaReachability.h"
#include "async/Scheduler.h"

namespace vima {

// A local Ollama server's chat API; no key. Its status reads only the
// reachability cache: the server must answer and hold the model.
class OllamaProvider final : public LLMProvider {
public:
    explicit OllamaProvider(OllamaReachability &reachability, Scheduler &scheduler = Scheduler::system());

    LLMProviderKind kind() const override { return LLMProviderKind::ollama; }
    LLMProviderStatus status(const LLMCredentials &credentials, const QString &model) const override;
    QCoro::Task<LLMResponse> complete(LLMRequest request, LLMCredentials credentials,
                                      CancellationToken token) const override;

    // Why a running server can't answer for `model`.
    static QString notPulled(const QString &model);
    // Why nothing is asked at `base`, which libcurl can't read, and the step that mends it.
    static QString unreadable(const QString &base);
    static QString addressStep();
    // Why nothing is asked at `base`, which is neither http nor https.
    static QString notHttp(const QString &base);
    // Why the server at `base` was not asked: its certificate was refused for `problem`.
    static QString certificateRefused(const QString &base, const QString &problem);
    // The server at `base`, or a proxy before it, refused the user name and
    // password (Ollama has no key of its own), and the step that mends it.
    static QString loginRefused(const QString &base);
    static QString loginStep();
    // The server at `base` answered the probe with a redirect that was refused for `problem`.
    static QString redirectRefused(const QString &base, const QString &problem);
    // The command that gets `model` onto the server, and the step that says it.
    static QString pullCommand(const QString &model);
    static QString pullStep(const QString &model);

    // The reply's message content, cut when it was done for its length;
    // throws invalidResponse when there is none.
    static LLMResponse readAnswer(const QByteArray &body);

private:
    // The address to ask: the credentials' own, the default one for none or an empty one.
    static QString base(const LLMCredentials &credentials);

    OllamaReachability &reachability_;
    Scheduler &scheduler_;
};

} // namespace vima
