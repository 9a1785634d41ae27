#include "model/AppSuggestions.h"

#include "model/KeyCodes.h"
#include "model/KeystrokeScript.h"
#include "model/StarterItems.h"
#include "model/Text.h"

#include <QUuid>
#include <span>

namespace vima {

namespace {

constexpr quint64 ctrl = modifiers::control;
constexpr quint64 ctrlShift = modifiers::control | modifiers::shift;
constexpr quint64 alt = modifiers::option;

struct Shortcut {
    const char *title;
    const char *symbol;
    const char *character; // null: the key is `code`
    quint32 code;
    quint64 modifiers;
};

constexpr Shortcut chromiumKeys[] = {
    {"New Tab", "plus.square", "t", 0, ctrl},
    {"New Window", "macwindow.badge.plus", "n", 0, ctrl},
    {"Incognito", "eyeglasses", "n", 0, ctrlShift},
    {"Reopen Tab", "arrow.uturn.left.square", "t", 0, ctrlShift},
    {"History", "clock.arrow.circlepath", "h", 0, ctrl},
    {"Downloads", "arrow.down.circle", "j", 0, ctrl},
    {"Bookmarks", "bookmark", "o", 0, ctrlShift},
    {"Reload", "arrow.clockwise", "r", 0, ctrl},
    {"Find", "magnifyingglass", "f", 0, ctrl},
};

constexpr Shortcut firefoxKeys[] = {
    {"New Tab", "plus.square", "t", 0, ctrl},
    {"New Window", "macwindow.badge.plus", "n", 0, ctrl},
    {"Private", "eyeglasses", "p", 0, ctrlShift},
    {"Reopen Tab", "arrow.uturn.left.square", "t", 0, ctrlShift},
    {"History", "clock.arrow.circlepath", "h", 0, ctrl},
    {"Downloads", "arrow.down.circle", "y", 0, ctrlShift},
};

// Nautilus, Thunar, Nemo and PCManFM share these; Dolphin and Nautilus differ in one key each.
constexpr Shortcut fileManagerKeys[] = {
    {"New Window", "macwindow.badge.plus", "n", 0, ctrl},
    {"New Folder", "folder.badge.plus", "n", 0, ctrlShift},
    {"Home", "house", nullptr, keys::home, alt},
    {"Location", "text.cursor", "l", 0, ctrl},
    {"Hidden Files", "eyeglasses", "h", 0, ctrl},
    {"Properties", "info.circle", nullptr, keys::returnKey, alt},
};

constexpr Shortcut nautilusKeys[] = {
    fileManagerKeys[0], fileManagerKeys[1], fileManagerKeys[2], fileManagerKeys[3], fileManagerKeys[4],
    {"Properties", "info.circle", "i", 0, ctrl},
};

constexpr Shortcut dolphinKeys[] = {
    fileManagerKeys[0], {"New Folder", "folder.badge.plus", nullptr, keys::f10, 0},
    fileManagerKeys[2], fileManagerKeys[3], fileManagerKeys[4], fileManagerKeys[5],
};

enum class Kind { browser, fileManager };

struct KnownApp {
    const char *ids; // space-separated desktop ids, Flatpak's among them
    const char *name;
    Kind kind;
    std::span<const Shortcut> keys;
};

// Browsers first, most common first: the order a default browser is looked for in.
constexpr KnownApp knownApps[] = {
    {"firefox org.mozilla.firefox firefox-esr", "Firefox", Kind::browser, firefoxKeys},
    {"chromium chromium-browser org.chromium.Chromium", "Chromium", Kind::browser, chromiumKeys},
    {"google-chrome com.google.Chrome", "Google Chrome", Kind::browser, chromiumKeys},
    {"brave-browser com.brave.Browser", "Brave", Kind::browser, chromiumKeys},
    {"microsoft-edge com.microsoft.Edge", "Microsoft Edge", Kind::browser, chromiumKeys},
    {"vivaldi-stable com.vivaldi.Vivaldi", "Vivaldi", Kind::browser, chromiumKeys},
    {"opera com.opera.Opera", "Opera", Kind::browser, chromiumKeys},
    {"org.gnome.Nautilus nautilus", "Files", Kind::fileManager, nautilusKeys},
    {"org.kde.dolphin", "Dolphin", Kind::fileManager, dolphinKeys},
    {"thunar org.xfce.thunar", "Thunar", Kind::fileManager, fileManagerKeys},
    {"nemo", "Nemo", Kind::fileManager, fileManagerKeys},
    {"pcmanfm pcmanfm-qt", "PCManFM", Kind::fileManager, fileManagerKeys},
};

QStringList idsOf(const KnownApp &app)
{
    return QString::fromLatin1(app.ids).split(u' ');
}

const KnownApp *knownApp(const QString &bundleID, Qt::CaseSensitivity sensitivity = Qt::CaseSensitive)
{
    for (const KnownApp &app : knownApps) {
        if (idsOf(app).contains(bundleID, sensitivity))
            return &app;
    }
    return nullptr;
}

constexpr qsizetype longestLauncherTitle = 14;

QList<RingItem> keystrokeItems(std::span<const Shortcut> keys, const QString &bundleID)
{
    QList<RingItem> items;
    for (const Shortcut &entry : keys) {
        KeyChord chord{QString(), entry.modifiers};
        if (entry.character)
            chord.key = QString::fromLatin1(entry.character);
        else
            chord.key = entry.code;
        items.append(RingItem{QUuid::createUuid(), QString::fromLatin1(entry.title),
                              IconSpec::symbol(QString::fromLatin1(entry.symbol)), 0,
                              ItemAction{AppleScriptPayload{keystrokeScript(chord, bundleID), false}}});
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
    const KnownApp *app = knownApp(bundleID);
    if (!app)
        return QList<RingItem>{launcher(bundleID, appName)} + aiItems(language);
    const QList<RingItem> keys = keystrokeItems(app->keys, bundleID);
    return app->kind == Kind::browser ? keys + aiItems(language) : keys;
}

} // namespace

QList<RingItem> suggestedAppActions(const QString &bundleID, const QString &appName,
                                    const QString &language)
{
    QList<RingItem> items = unnumbered(bundleID, appName, language);
    for (qsizetype i = 0; i < items.size(); ++i)
        items[i].slot = i;
    return items;
}

QStringList knownBrowserIDs()
{
    QStringList ids;
    for (const KnownApp &app : knownApps) {
        if (app.kind == Kind::browser)
            ids += idsOf(app);
    }
    return ids;
}

QString knownAppName(const QString &bundleID)
{
    const KnownApp *app = knownApp(bundleID);
    return app ? QString::fromLatin1(app->name) : QString();
}

QStringList knownIDsOf(const QString &bundleID)
{
    QStringList ids{bundleID};
    if (const KnownApp *app = knownApp(bundleID, Qt::CaseInsensitive)) {
        for (const QString &id : idsOf(*app)) {
            if (id != bundleID)
                ids.append(id);
        }
    }
    return ids;
}

} // namespace vima
