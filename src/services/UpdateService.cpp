#include "services/UpdateService.h"

#include <QUrl>

namespace vima {
namespace {

const QString placeholderDomain = QStringLiteral("example.com");
constexpr qsizetype publicKeyBytes = 32;

std::optional<QString> buildValue(const char *value)
{
    const QString text = QString::fromUtf8(value);
    return text.isEmpty() ? std::nullopt : std::optional(text);
}

bool isUsableFeed(const QString &text)
{
    // The scheme is compared as written: QUrl would lower-case it.
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && text.section(u':', 0, 0) == u"https" && !url.host().isEmpty();
}

bool isPlaceholderHost(const QString &host)
{
    return host == placeholderDomain || host.endsWith(u'.' + placeholderDomain);
}

bool isUsableKey(const QString &text)
{
    if (text.size() % 4 != 0)
        return false;
    const auto decoded = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    return decoded && decoded.decoded.size() == publicKeyBytes;
}

} // namespace

UpdateConfiguration UpdateConfiguration::fromBuild()
{
    return {buildValue(VIMA_UPDATE_FEED_URL), buildValue(VIMA_UPDATE_PUBLIC_KEY)};
}

UpdateService::UpdateService(const UpdateConfiguration &configuration, const UpdaterFactory &makeUpdater)
    : unavailableReason_(validateConfiguration(configuration))
{
    if (unavailableReason_)
        return;
    if (!makeUpdater) {
        unavailableReason_ = QStringLiteral("This build has no updater.");
        return;
    }
    controller_ = makeUpdater();
    controller_->setAutomaticallyChecksForUpdates(false);
}

std::optional<QString> UpdateService::validateConfiguration(const UpdateConfiguration &configuration)
{
    if (!configuration.feedURL || !isUsableFeed(*configuration.feedURL))
        return QStringLiteral("This build has no update feed configured.");
    // QUrl gives the host in lower case: host names ignore case, so a
    // placeholder spelt in capitals is still one.
    if (isPlaceholderHost(QUrl(*configuration.feedURL).host()))
        return QStringLiteral("This build points at a placeholder update feed.");
    if (!configuration.publicEDKey || !isUsableKey(*configuration.publicEDKey))
        return QStringLiteral("This build has no update-signing key configured.");
    return std::nullopt;
}

bool UpdateService::canCheckForUpdates() const
{
    return controller_ && controller_->canCheckForUpdates();
}

void UpdateService::checkForUpdates()
{
    if (controller_)
        controller_->checkForUpdates();
}

} // namespace vima
