#include "settings/ai/AISettingsModel.h"

#include "ai/LLMService.h"
#include "ai/OllamaProvider.h"
#include "ai/ProviderDisplayName.h"
#include "model/UserError.h"
#include "settings/ai/ProviderPresentation.h"
#include "services/Keychain.h"
#include "services/PermissionsService.h"
#include "store/ConfigStore.h"

#include <QLocale>
#include <QPointer>
#include <QSettings>
#include <cmath>
#include <utility>

namespace vima {

namespace {

QString describe(const std::exception &error)
{
    if (const auto *told = dynamic_cast<const UserError *>(&error))
        return told->description();
    return QString::fromUtf8(error.what());
}

AISettingsModel::Mode readMode(const QSettings &defaults)
{
    return defaults.value(AISettingsModel::modeKey).toString() == QLatin1String("advanced")
               ? AISettingsModel::Mode::advanced
               : AISettingsModel::Mode::simple;
}

// Calls `apply` on every later value of a slice, not on the one it has now.
template <typename Slice, typename Apply>
void watchChanges(ConfigStore &store, const QObject *context, Slice slice, Apply apply)
{
    store.watch(context, slice, [apply, first = true](const auto &) mutable {
        if (!std::exchange(first, false))
            apply();
    });
}

} // namespace

AISettingsModel::AISettingsModel(ConfigStore &store, LLMService &llm, Keychain &keychain,
                                 PermissionsService &permissions, QSettings &defaults, QObject *parent)
    : QObject(parent)
    , store_(store)
    , llm_(llm)
    , keychain_(keychain)
    , permissions_(permissions)
    , defaults_(defaults)
    , mode_(readMode(defaults))
{
    connect(&store_, &ConfigStore::configChanged, this, &AISettingsModel::changed);
    // Also when the keys have first been read, after the page was built.
    connect(&llm_, &LLMService::statusRevisionChanged, this, [this] {
        if (running_ == Operation::none)
            readStoredKey();
        Q_EMIT changed();
    });
    connect(&permissions_, &PermissionsService::accessibilityTrustedChanged, this, &AISettingsModel::changed);
    watchChanges(store_, this, [](const VimaConfig &config) { return config.ai.ollamaBaseURL; },
                 [this] { refreshStatuses(); });
    watchChanges(store_, this, [](const VimaConfig &config) { return config.ai.provider; }, [this] {
        ++providerSwitches_;
        refreshKeyState();
    });
    refreshKeyState();
}

void AISettingsModel::setMode(Mode mode)
{
    if (mode == mode_)
        return;
    mode_ = mode;
    defaults_.setValue(modeKey, mode == Mode::advanced ? QStringLiteral("advanced") : QStringLiteral("simple"));
    defaults_.sync();
    if (mode == Mode::advanced)
        refreshKeyState();
    Q_EMIT modeChanged(mode);
}

const AISettings &AISettingsModel::settings() const
{
    return store_.config().ai;
}

LLMProviderStatus AISettingsModel::providerStatus(LLMProviderKind kind) const
{
    return llm_.statusText(kind, settings());
}

bool AISettingsModel::listsProvider(LLMProviderKind kind) const
{
    return kind != LLMProviderKind::appleOnDevice || settings().provider == kind;
}

QList<ModelChoice> AISettingsModel::modelChoices() const
{
    const AISettings &current = settings();
    const std::optional<QStringList> served = current.provider == LLMProviderKind::ollama
        ? llm_.reachability().models(LLMService::ollamaBaseURL(current))
        : std::nullopt;
    return ModelChoice::menu(served, ProviderPresentation::of(current.provider).suggestedModels, current.model);
}

void AISettingsModel::selectProvider(LLMProviderKind kind)
{
    store_.edit([kind](VimaConfig &config) {
        if (config.ai.provider == kind)
            return;
        config.ai.provider = kind;
        config.ai.model = defaultModel(kind);
    });
}

void AISettingsModel::setModel(const QString &model)
{
    store_.edit([&model](VimaConfig &config) { config.ai.model = model; });
}

TextRoute AISettingsModel::route() const
{
    return TextRoute::of(llm_, settings());
}

QString AISettingsModel::serverHint() const
{
    return QStringLiteral("Start Ollama, then pull a model: ")
           + OllamaProvider::pullCommand(LLMService::modelFor(LLMProviderKind::ollama, settings()));
}

bool AISettingsModel::showsAPIKey() const
{
    return LLMService::isCloud(settings().provider);
}

bool AISettingsModel::showsLocalServer() const
{
    return settings().provider == LLMProviderKind::ollama;
}

bool AISettingsModel::showsModel() const
{
    return settings().provider != LLMProviderKind::appleOnDevice;
}

bool AISettingsModel::showsAccessibilityWarning() const
{
    return !permissions_.isAccessibilityTrusted();
}

QString AISettingsModel::keyFieldLabel() const
{
    return displayName(settings().provider) + QStringLiteral(" key");
}

QString AISettingsModel::keyPlaceholder() const
{
    return hasStoredKey_ ? QStringLiteral("•••••••• (saved)") : QStringLiteral("Paste your API key");
}

void AISettingsModel::setKeyDraft(const QString &draft)
{
    if (draft == keyDraft_)
        return;
    keyDraft_ = draft;
    Q_EMIT changed();
}

// A draft of only white space would delete the stored key while saying it saved.
bool AISettingsModel::canSave() const
{
    return running_ == Operation::none && !keyDraft_.trimmed().isEmpty();
}

bool AISettingsModel::canRemove() const
{
    return running_ == Operation::none && hasStoredKey_;
}

bool AISettingsModel::canRemove(LLMProviderKind kind) const
{
    return running_ == Operation::none && keychain_.apiKey(kind).has_value();
}

bool AISettingsModel::canTest() const
{
    return running_ == Operation::none && (hasStoredKey_ || !keyDraft_.isEmpty());
}

quint64 AISettingsModel::begin(Operation operation)
{
    running_ = operation;
    if (operation == Operation::test)
        status_.reset();
    Q_EMIT changed();
    return providerSwitches_;
}

bool AISettingsModel::land(quint64 started, std::optional<KeyStatus> result)
{
    running_ = Operation::none;
    const bool current = started == providerSwitches_;
    if (current)
        status_ = std::move(result);
    Q_EMIT changed();
    return current;
}

QCoro::Task<void> AISettingsModel::saveKey()
{
    if (!canSave())
        co_return;
    const QPointer<AISettingsModel> self(this);
    const LLMProviderKind provider = settings().provider;
    Keychain &keychain = keychain_;
    const quint64 started = begin(Operation::save);
    std::optional<KeyStatus> result;
    try {
        co_await keychain.setAPIKey(keyDraft_.trimmed(), provider);
    } catch (const std::exception &error) {
        result = KeyStatus{false, describe(error)};
    }
    if (!self)
        co_return;
    const bool saved = !result;
    if (saved)
        result = KeyStatus{true, QStringLiteral("Saved to the keyring.")};
    if (land(started, std::move(result)) && saved) {
        keyDraft_.clear();
        hasStoredKey_ = keychain.apiKey(provider).has_value();
        Q_EMIT changed();
    }
}

QCoro::Task<void> AISettingsModel::removeKey()
{
    return removeKey(settings().provider);
}

QCoro::Task<void> AISettingsModel::removeKey(LLMProviderKind provider)
{
    if (running_ != Operation::none)
        co_return;
    const QPointer<AISettingsModel> self(this);
    const quint64 started = begin(Operation::remove);
    std::optional<KeyStatus> result;
    try {
        co_await keychain_.remove(Keychain::account(provider));
    } catch (const std::exception &error) {
        result = KeyStatus{false, describe(error)};
    }
    if (!self)
        co_return;
    const bool removed = !result;
    if (removed)
        result = KeyStatus{true, QStringLiteral("Removed.")};
    if (land(started, std::move(result)) && removed) {
        if (provider == settings().provider)
            keyDraft_.clear();
        readStoredKey();
        Q_EMIT changed();
    }
}

QCoro::Task<void> AISettingsModel::testKey()
{
    if (!canTest())
        co_return;
    const QPointer<AISettingsModel> self(this);
    const AISettings current = settings();
    const quint64 started = begin(Operation::test);
    std::optional<QString> key = keyDraft_.trimmed();
    if (key->isEmpty())
        key = keychain_.apiKey(current.provider);
    if (!key) {
        land(started, KeyStatus{false, QStringLiteral("No key to test.")});
        co_return;
    }
    std::optional<KeyStatus> result;
    try {
        co_await llm_.test(current.provider, std::move(key), current.model);
        result = KeyStatus{true, QStringLiteral("Key works.")};
    } catch (const std::exception &error) {
        result = KeyStatus{false, describe(error)};
    }
    if (self)
        land(started, std::move(result));
}

QString AISettingsModel::timeoutLabel(double seconds)
{
    // 2^63 is the first double beyond a signed 64-bit integer.
    constexpr double limit = 9223372036854775808.0;
    if (!std::isfinite(seconds) || seconds >= limit || seconds <= -limit)
        return QStringLiteral("—");
    return QString::asprintf("%llds", static_cast<long long>(seconds));
}

QString AISettingsModel::maxTokensText() const
{
    return QLocale().toString(settings().maxTokens);
}

bool AISettingsModel::commitMaxTokens(const QString &text)
{
    bool ok = false;
    const qint64 tokens = QLocale().toLongLong(text.trimmed(), &ok);
    if (ok)
        store_.edit([tokens](VimaConfig &config) { config.ai.maxTokens = tokens; });
    return ok;
}

void AISettingsModel::shown()
{
    refreshStatuses();
    if (mode_ == Mode::advanced)
        refreshKeyState();
}

void AISettingsModel::refreshStatuses()
{
    [](QPointer<LLMService> llm, AISettings settings) -> QCoro::Task<void> {
        if (llm)
            co_await llm->refresh(std::move(settings));
    }(&llm_, settings());
}

void AISettingsModel::readStoredKey()
{
    const LLMProviderKind provider = settings().provider;
    hasStoredKey_ = LLMService::isCloud(provider) && keychain_.apiKey(provider).has_value();
}

void AISettingsModel::refreshKeyState()
{
    readStoredKey();
    keyDraft_.clear();
    status_.reset();
    Q_EMIT changed();
}

} // namespace vima
