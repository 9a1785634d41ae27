#include "ai/LLMError.h"

#include "ai/ProviderDisplayName.h"

namespace vima {

namespace {
const QString settingsHint = QStringLiteral("Settings → AI.");
}

LLMError::LLMError(Case kind, std::optional<LLMProviderKind> provider, int status, QString text,
                   std::optional<QString> recovery)
    : kind_(kind), provider_(provider), status_(status), text_(std::move(text)),
      recovery_(std::move(recovery)), what_(description().toUtf8())
{
}

LLMError LLMError::missingAPIKey(LLMProviderKind provider) { return LLMError(Case::missingAPIKey, provider); }
LLMError LLMError::api(int status, QString message) { return LLMError(Case::api, {}, status, std::move(message)); }
LLMError LLMError::transport(QString text) { return LLMError(Case::transport, {}, 0, std::move(text)); }
LLMError LLMError::providerUnavailable(LLMProviderKind provider, QString reason)
{
    return LLMError(Case::providerUnavailable, provider, 0, std::move(reason));
}
LLMError LLMError::inputTooLong(LLMProviderKind provider) { return LLMError(Case::inputTooLong, provider); }
LLMError LLMError::nothingAnswered(QString message, std::optional<QString> recovery)
{
    return LLMError(Case::nothingAnswered, {}, 0, std::move(message), std::move(recovery));
}
LLMError LLMError::refused(QString text) { return LLMError(Case::refused, {}, 0, std::move(text)); }
LLMError LLMError::invalidResponse() { return LLMError(Case::invalidResponse); }
LLMError LLMError::timedOut() { return LLMError(Case::timedOut); }
LLMError LLMError::cancelled() { return LLMError(Case::cancelled); }
LLMError LLMError::answerTooLarge(int megabytes) { return LLMError(Case::answerTooLarge, {}, megabytes); }
LLMError LLMError::headersTooLarge() { return LLMError(Case::headersTooLarge); }
LLMError LLMError::outOfMemory() { return LLMError(Case::outOfMemory); }

QString LLMError::description() const
{
    const QString name = provider_ ? displayName(*provider_) : QString();
    const QString code = QString::number(status_);
    switch (kind_) {
    case Case::missingAPIKey:
        return QStringLiteral("No ") + name + QStringLiteral(" API key saved.");
    case Case::api:
        if (status_ == 401 || status_ == 403)
            return QStringLiteral("The API key was rejected (HTTP ") + code + QStringLiteral("). ") + text_;
        if (status_ == 404)
            return QStringLiteral("That model wasn't found (HTTP 404). ") + text_;
        if (status_ == 429)
            return QStringLiteral("Rate limited by the provider. ") + text_;
        if (status_ >= 500 && status_ <= 599)
            return QStringLiteral("The provider had a server error (HTTP ") + code + QStringLiteral("). ") + text_;
        return QStringLiteral("Request failed (HTTP ") + code + QStringLiteral("). ") + text_;
    case Case::transport:
        return QStringLiteral("Network error: ") + text_;
    case Case::providerUnavailable:
        return name + QStringLiteral(" isn't available: ") + text_;
    case Case::inputTooLong:
        return QStringLiteral("Your selection is too long for ") + name + QStringLiteral(".");
    case Case::nothingAnswered:
        return text_;
    case Case::refused:
        return QStringLiteral("The model declined to answer. ") + text_;
    case Case::invalidResponse:
        return QStringLiteral("The provider returned a response Tavelon couldn't read.");
    case Case::timedOut:
        return QStringLiteral("The request timed out.");
    case Case::cancelled:
        return QStringLiteral("Cancelled.");
    case Case::answerTooLarge:
        return QStringLiteral("The answer was too large (over %1 MB).").arg(status_);
    case Case::headersTooLarge:
        return QStringLiteral("The provider's response headers were too large to read.");
    case Case::outOfMemory:
        return QStringLiteral("There wasn't enough memory to finish the request.");
    }
    Q_UNREACHABLE();
    return QString();
}

std::optional<QString> LLMError::recoverySuggestion() const
{
    switch (kind_) {
    case Case::missingAPIKey:
        return QStringLiteral("Set one up in ") + settingsHint;
    case Case::nothingAnswered:
        return recovery_;
    case Case::api:
        if (status_ == 401 || status_ == 403)
            return QStringLiteral("Check the key in ") + settingsHint;
        if (status_ == 404)
            return QStringLiteral("Check the model name in ") + settingsHint;
        if (status_ == 429)
            return QStringLiteral("Wait a moment and try again.");
        return std::nullopt;
    case Case::providerUnavailable:
        return QStringLiteral("Pick a different provider in ") + settingsHint;
    case Case::inputTooLong:
        return QStringLiteral("Select less text, or add an API key in Settings → AI to use a cloud model.");
    case Case::timedOut:
        return QStringLiteral("Try again, or raise the timeout in ") + settingsHint;
    case Case::transport:
    case Case::refused:
    case Case::invalidResponse:
    case Case::cancelled:
    case Case::answerTooLarge:
    case Case::headersTooLarge:
    case Case::outOfMemory:
        return std::nullopt;
    }
    Q_UNREACHABLE();
    return std::nullopt;
}

bool LLMError::allowsFallback() const
{
    switch (kind_) {
    case Case::api:
        return status_ == 401 || status_ == 403 || status_ == 429 || status_ >= 500;
    case Case::missingAPIKey:
    case Case::transport:
    case Case::providerUnavailable:
    case Case::inputTooLong:
    case Case::refused:
    case Case::timedOut:
        return true;
    case Case::nothingAnswered:
    case Case::invalidResponse:
    case Case::cancelled:
    case Case::answerTooLarge:
    case Case::headersTooLarge:
    case Case::outOfMemory:
        return false;
    }
    Q_UNREACHABLE();
    return false;
}

const char *LLMError::what() const noexcept { return what_.constData(); }

} // namespace vima
