#include "model/AppSuggestions.h"

#include "model/KeystrokeScript.h"
#include "model/StarterItems.h"
#include "model/Text.h"

#include <QUuid>
#include <span>

namespace vima {

namespace {

constexpr const char *command = "command down";
constexpr const char *shiftCommand = "command down, shift down";
constexpr const char *optionCommand = "command down, option down";

struct Keystroke {
    const char *title;
    const char *symbol;
    const char *key;
    const char *modifiers;
};

constexpr Keystroke safariKeys[] = {
    {"New Tab", "plus.square", "t", command},
    {"New Window", "macwindow.badge.plus", "n", command},
    {"Private", "eyeglasses", "n", shiftCommand},
    {"Reopen Tab", "arrow.uturn.left.square", "t", shiftCommand},
    {"History", "clock.arrow.circlepath", "y", command},
    {"Downloads", "arrow.down.circle", "l", optionCommand},
    {"Bookmarks", "bookmark", "b", optionCommand},
    {"Reload", "arrow.clockwise", "r", command},
    {"Find", "magnifyingglass", "f", command},
};

constexpr Keystroke chromiumKeys[] = {
    {"New Tab", "plus.square", "t", command},
    {"New Window", "macwindow.badge.plus", "n", command},
    {"Incognito", "eyeglasses", "n", shiftCommand},
    {"Reopen Tab", "arrow.uturn.left.square", "t", shiftCommand},
    {"History", "clock.arrow.circlepath", "y", command},
    {"Downloads", "arrow.down.circle", "j", shiftCommand},
    {"Bookmarks", "bookmark", "b", optionCommand},
    {"Reload", "arrow.clockwise", "r", command},
    {"Find", "magnifyingglass", "f", command},
};

constexpr Keystroke firefoxKeys[] = {
    {"New Tab", "plus.square", "t", command},
    {"New Window", "macwindow.badge.plus", "n", command},
    {"Private", "eyeglasses", "p", shiftCommand},
    {"Reopen Tab", "arrow.uturn.left.square", "t", shiftCommand},
    {"History", "clock.arrow.circlepath", "y", command},
    {"Downloads", "arrow.down.circle", "y", shiftCommand},
};

constexpr Keystroke finderKeys[] = {
    {"New Window", "macwindow.badge.plus", "n", command},
    {"New Folder", "folder.badge.plus", "n", shiftCommand},
    {"Applications", "app.gift", "a", shiftCommand},
    {"Home", "house", "h", shiftCommand},
    {"Downloads", "arrow.down.circle", "l", optionCommand},
    {"Get Info", "info.circle", "i", command},
};

constexpr qsizetype longestLauncherTitle = 14;

QList<RingItem> keystrokeItems(std::span<const Keystroke> keys, const QString &bundleID)
{
    QList<RingItem> items;
    for (const Keystroke &entry : keys) {
        const QString source = keystrokeScript(QString::fromLatin1(entry.key),
                                               QString::fromLatin1(entry.modifiers), bundleID);
        items.append(RingItem{QUuid::createUuid(), QString::fromLatin1(entry.title),
                              IconSpec::symbol(QString::fromLatin1(entry.symbol)), 0,
                              ItemAction{AppleScriptPayload{source, false}}});
    }
    return items;
}

RingItem launcher(const QString &bundleID, const QString &appName)
{
    const QString prefixed = QStringLiteral("Open ") + appName;
    const QString title =
        Text::graphemeCount(prefixed) <= longestLauncherTitle ? prefixed : appName;
    LaunchAppPayload payload;
    if (!bundleID.isEmpty())
        payload.bundleID = bundleID;
    return RingItem{QUuid::createUuid(), title, IconSpec::symbol(QStringLiteral("app")), 0,
                    ItemAction{payload}};
}

QList<RingItem> aiItems(const QString &language)
{
    return {summarizeItem(0), translateItem(0, language)};
}

QList<RingItem> unnumbered(const QString &bundleID, const QString &appName, const QString &language)
{
    switch (browserFamily(bundleID)) {
    case BrowserFamily::safari:
        return keystrokeItems(safariKeys, bundleID) + aiItems(language);
    case BrowserFamily::chromium:
        return keystrokeItems(chromiumKeys, bundleID) + aiItems(language);
    case BrowserFamily::firefox:
        return keystrokeItems(firefoxKeys, bundleID) + aiItems(language);
    case BrowserFamily::finder:
        return keystrokeItems(finderKeys, bundleID);
    case BrowserFamily::other:
        break;
    }
    return QList<RingItem>{launcher(bundleID, appName)} + aiItems(language);
}

} // namespace

BrowserFamily browserFamily(const QString &bundleID)
{
    static const QStringList chromium{
        QStringLiteral("com.google.Chrome"),     QStringLiteral("com.brave.Browser"),
        QStringLiteral("com.microsoft.edgemac"), QStringLiteral("company.thebrowser.Browser"),
        QStringLiteral("com.vivaldi.Vivaldi"),   QStringLiteral("com.operasoftware.Opera"),
    };
    if (chromium.contains(bundleID))
        return BrowserFamily::chromium;
    if (bundleID == u"com.apple.Safari")
        return BrowserFamily::safari;
    if (bundleID == u"org.mozilla.firefox")
        return BrowserFamily::firefox;
    if (bundleID == u"com.apple.finder")
        return BrowserFamily::finder;
    return BrowserFamily::other;
}

QList<RingItem> suggestedAppActions(const QString &bundleID, const QString &appName,
                                    const QString &language)
{
    QList<RingItem> items = unnumbered(bundleID, appName, language);
    for (qsizetype i = 0; i < items.size(); ++i)
        items[i].slot = i;
    return items;
}

} // namespace vima
