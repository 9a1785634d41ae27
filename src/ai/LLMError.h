#pragma once

#include "model/Settings.h"
#include "model/UserError.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace vima {

// The one error of the AI layer. Which payload fields a case uses: `provider`
// for missingAPIKey, providerUnavailable and inputTooLong;
// `status` for api and answerTooLarge (the ceiling in MB);
// `text` for api (the message), transport, providerUnavailable (the reason),
// nothingAnswered (the whole message) and refused; `recovery` for nothingAnswered.
class LLMError : public UserError {
public:
    enum class Case {
        missingAPIKey,
        api,
        transport,
        providerUnavailable,
        inputTooLong,
        nothingAnswered,
        refused,
        invalidResponse,
        timedOut,
        cancelled,
        answerTooLarge,
        headersTooLarge,
        outOfMemory,
    };

    static LLMError missingAPIKey(LLMProviderKind provider);
    static LLMError api(int status, QString message);
    static LLMError transport(QString text);
    static LLMError providerUnavailable(LLMProviderKind provider, QString reason);
    static LLMError inputTooLong(LLMProviderKind provider);
    // No provider could answer: `message` leads with the chosen provider's own
    // failure, then the others tried.
    static LLMError nothingAnswered(QString message, std::optional<QString> recovery);
    static LLMError refused(QString text);
    static LLMError invalidResponse();
    static LLMError timedOut();
    static LLMError cancelled();
    // A reply body past the exchange's ceiling of `megabytes` MB.
    static LLMError answerTooLarge(int megabytes);
    // A reply whose head ran past the exchange's ceiling.
    static LLMError headersTooLarge();
    // Memory ran out during the exchange.
    static LLMError outOfMemory();

    Case kind() const { return kind_; }
    std::optional<LLMProviderKind> provider() const { return provider_; }
    int status() const { return status_; }
    const QString &text() const { return text_; }

    QString description() const override;
    std::optional<QString> recoverySuggestion() const override;
    // Whether the service may try the next candidate after this failure.
    bool allowsFallback() const;

    const char *what() const noexcept override;

    bool operator==(const LLMError &other) const
    {
        return kind_ == other.kind_ && provider_ == other.provider_ && status_ == other.status_
               && text_ == other.text_ && recovery_ == other.recovery_;
    }

private:
    explicit LLMError(Case kind, std::optional<LLMProviderKind> provider = {}, int status = 0,
                      QString text = {}, std::optional<QString> recovery = {});

    Case kind_;
    std::optional<LLMProviderKind> provider_;
    int status_;
    QString text_;
    std::optional<QString> recovery_;
    QByteArray what_;
};

} // namespace vima
