#include "model/ActionCategory.h"
#include "model/ActionPreset.h"
#include "model/AppSuggestions.h"
#include "model/KeyCodes.h"
#include "model/Keystroke.h"
#include "model/KeystrokeScript.h"

#include <QSet>
#include <QTest>

using namespace vima;

namespace {

QStringList idsMatching(const QString &query)
{
    QStringList ids;
    for (const ActionPreset &preset : ActionPreset::all()) {
        if (preset.matches(query))
            ids.append(preset.id);
    }
    return ids;
}

QStringList idsIn(ActionCategory category)
{
    QStringList ids;
    for (const ActionPreset &preset : ActionPreset::all()) {
        if (preset.category == category)
            ids.append(preset.id);
    }
    return ids;
}

QStringList titles(const QList<RingItem> &items)
{
    QStringList result;
    for (const RingItem &item : items)
        result.append(item.title);
    return result;
}

const AIPayload &aiPayload(const ItemAction &action)
{
    return std::get<AIPayload>(action.payload);
}

QString promptOf(const char *presetID)
{
    return aiPayload(ActionPreset::presetWithID(QString::fromLatin1(presetID))->action)
        .systemPrompt;
}

} // namespace

class TestLibrary : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void categories_data()
    {
        QTest::addColumn<ActionCategory>("category");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<int>("presets");
        const auto row = [](ActionCategory category, const char *raw, const char *title,
                            const char *symbol, int presets) {
            QTest::newRow(raw) << category << raw << title << symbol << presets;
        };
        row(ActionCategory::writing, "writing", "Writing", "pencil.line", 9);
        row(ActionCategory::email, "email", "Email & Messages", "envelope", 5);
        row(ActionCategory::reading, "reading", "Reading", "book", 6);
        row(ActionCategory::language, "language", "Language", "globe", 4);
        row(ActionCategory::creative, "creative", "Video & Design", "paintbrush.pointed", 8);
        row(ActionCategory::developer, "developer", "Developer",
            "chevron.left.forwardslash.chevron.right", 6);
        row(ActionCategory::data, "data", "Data", "tablecells", 4);
        row(ActionCategory::system, "system", "System", "macwindow", 9);
        row(ActionCategory::apps, "apps", "Apps", "square.grid.3x3", 0);
    }

    void categories()
    {
        QFETCH(ActionCategory, category);
        QFETCH(QString, raw);
        QFETCH(QString, title);
        QFETCH(QString, symbol);
        QFETCH(int, presets);
        QCOMPARE(rawValue(category), raw);
        QCOMPARE(actionCategoryFromRawValue(raw), std::optional(category));
        QCOMPARE(vima::title(category), title);
        QCOMPARE(vima::symbol(category), symbol);
        QCOMPARE(idsIn(category).size(), presets);
    }

    void categoryOrderAndUnknownRawValue()
    {
        const QList<ActionCategory> all = allActionCategories();
        QCOMPARE(all.size(), 9);
        QCOMPARE(all.first(), ActionCategory::writing);
        QCOMPARE(all.last(), ActionCategory::apps);
        QCOMPARE(actionCategoryFromRawValue(QStringLiteral("Writing")), std::nullopt);
        QCOMPARE(actionCategoryFromRawValue(QString()), std::nullopt);
    }

    void libraryIsCategoryByCategoryWithUniqueIDs()
    {
        const QList<ActionPreset> &all = ActionPreset::all();
        QCOMPARE(all.size(), 51);
        QSet<QString> ids;
        for (qsizetype i = 0; i < all.size(); ++i) {
            const ActionPreset &preset = all[i];
            ids.insert(preset.id);
            if (i > 0)
                QVERIFY2(all[i - 1].category <= preset.category, qPrintable(preset.id));
            const QString prefix = preset.category == ActionCategory::developer
                                       ? QStringLiteral("dev.")
                                       : rawValue(preset.category) + u'.';
            QVERIFY2(preset.id.startsWith(prefix), qPrintable(preset.id));
            QCOMPARE(preset.icon.kind, IconSpec::Kind::symbol);
            QVERIFY(!preset.summary.isEmpty());
            for (const QString &keyword : preset.keywords)
                QCOMPARE(keyword, keyword.toLower());
        }
        QCOMPARE(ids.size(), all.size());
    }

    void aiPresetsAgreeWithTheTable()
    {
        int ai = 0, strong = 0, replacing = 0;
        QStringList needingLanguage;
        for (const ActionPreset &preset : ActionPreset::all()) {
            if (preset.needsLanguage)
                needingLanguage.append(preset.id);
            if (!preset.isAI())
                continue;
            ++ai;
            const AIPayload &payload = aiPayload(preset.action);
            QVERIFY(!payload.targetLanguage);
            QVERIFY(!payload.modelOverride);
            QVERIFY(!payload.systemPrompt.isEmpty());
            strong += payload.needsStrongModel;
            replacing += payload.resultHandling == ResultHandling::replaceSelection;
        }
        QCOMPARE(ai, 42);
        QCOMPARE(strong, 14);
        QCOMPARE(replacing, 18);
        QCOMPARE(needingLanguage, QStringList{QStringLiteral("language.translate")});
        QCOMPARE(promptOf("language.translate").count(QStringLiteral("{{language}}")), 2);
    }

    void presetRows_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<ItemAction::Kind>("kind");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QStringList>("keywords");
        const auto row = [](const char *id, const char *title, const char *symbol,
                            ItemAction::Kind kind, const char *summary, QStringList keywords) {
            QTest::newRow(id) << QString::fromUtf8(id) << QString::fromUtf8(title)
                              << QString::fromUtf8(symbol) << kind << QString::fromUtf8(summary)
                              << keywords;
        };
        using K = ItemAction::Kind;
        row("writing.fix-grammar", "Fix Grammar", "checkmark.circle", K::ai,
            "Corrects spelling, grammar and punctuation. Changes nothing else.",
            {"spelling", "typo", "proofread", "punctuation"});
        row("writing.continue", "Continue", "text.append", K::ai,
            "Carries on writing in the same voice.", {"autocomplete", "draft", "finish"});
        row("email.firmer", "Firmer", "exclamationmark.shield", K::ai,
            "Adds spine to a request that's being ignored.",
            {"assertive", "escalate", "follow up", "tone"});
        row("reading.summarize", "Summarize", "text.line.first.and.arrowtriangle.forward", K::ai,
            "A takeaway plus the substance in bullets.", {"tldr", "digest", "brief"});
        row("language.translate", "Translate", "character.bubble", K::ai,
            "Into your default language, set on the AI tab.", {"language", "convert", "localize"});
        row("creative.tighten-script", "30s Cut", "timer", K::ai,
            "Trims a script to about thirty seconds of speech.",
            {"script", "voiceover", "video", "shorten", "reel"});
        row("dev.explain-regex", "Explain Regex", "asterisk", K::ai,
            "Breaks a regular expression down piece by piece.", {"regexp", "pattern", "match"});
        row("data.sort-dedupe", "Sort List", "arrow.up.arrow.down", K::ai,
            "Sorts a list alphabetically and drops duplicates.",
            {"sort", "unique", "duplicates", "list", "alphabetical"});
        row("system.screenshot-clipboard", "Snip", "camera.viewfinder", K::shell,
            "Drag a region; it lands on the clipboard.",
            {"screenshot", "capture", "clipboard", "region"});
        row("system.color-meter", "Color Picker", "eyedropper", K::shell,
            "Opens a colour picker.", {"colour", "hex", "eyedropper", "pick"});
        row("system.paste-plain", "Strip Format", "doc.plaintext", K::shell,
            "Replaces the clipboard with its plain-text version.",
            {"plain text", "clipboard", "paste", "formatting"});
        row("system.downloads", "Downloads", "folder", K::open, "Opens your Downloads folder.",
            {"files", "folder", "downloads"});
        row("system.wifi-info", "Network", "wifi", K::shell, "Shows your current IP addresses.",
            {"ip", "wifi", "network", "address"});
    }

    void presetRows()
    {
        QFETCH(QString, id);
        const auto preset = ActionPreset::presetWithID(id);
        QVERIFY(preset);
        QTEST(preset->title, "title");
        QTEST(preset->icon.value, "symbol");
        QTEST(preset->action.kind(), "kind");
        QTEST(preset->summary, "summary");
        QTEST(preset->keywords, "keywords");
    }

    void lookupIsExact()
    {
        QVERIFY(ActionPreset::presetWithID(QStringLiteral("writing.fix-grammar")));
        QVERIFY(!ActionPreset::presetWithID(QStringLiteral("writing.Fix-grammar")));
        QVERIFY(!ActionPreset::presetWithID(QStringLiteral("fix-grammar")));
        QVERIFY(!ActionPreset::presetWithID(QString()));
    }

    void promptsKeepTheirPunctuation()
    {
        QVERIFY(promptOf("email.action-items")
                    .contains(QStringLiteral("One per line, starting with \"- \".")));
        QVERIFY(promptOf("email.reply").contains(QString::fromUtf8("Keep it short \u2014 most")));
        QVERIFY(promptOf("email.subject-lines")
                    .endsWith(QString::fromUtf8("Number them 1\u20133, nothing else.")));
        QVERIFY(promptOf("dev.add-comments").contains(QStringLiteral("Comment the *why*")));
        QCOMPARE(promptOf("writing.bullets"),
                 QStringLiteral("Restructure the user's text as a bulleted list. One idea per "
                                "bullet, each a short complete phrase, in the original order. Do "
                                "not add or drop content. Reply with the list only."));
    }

    void search_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("spaces") << "   " << idsMatching(QString());
        QTest::newRow("xctest keyword") << "xctest" << QStringList{"dev.write-tests"};
        QTest::newRow("tabs trimmed") << "\txctest\t" << QStringList{"dev.write-tests"};
        QTest::newRow("line break kept") << "\nxctest" << QStringList{};
        QTest::newRow("id not searched") << "fix-grammar" << QStringList{};
        QTest::newRow("design category") << "design" << idsIn(ActionCategory::creative);
        QTest::newRow("email category") << "Email & Messages" << idsIn(ActionCategory::email);
        QTest::newRow("keyword with space") << "plain text" << QStringList{"system.paste-plain"};
    }

    void search()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, expected);
        QCOMPARE(idsMatching(query), expected);
    }

    void searchFindsTitleInAnyCase()
    {
        QCOMPARE(idsMatching(QString()).size(), ActionPreset::all().size());
        QVERIFY(idsMatching(QStringLiteral("  REPLY  ")).contains(QStringLiteral("email.reply")));
        QVERIFY(ActionPreset::presetWithID(QStringLiteral("email.reply"))
                    ->matches(QStringLiteral(" Reply ")));
    }

    void makeItem()
    {
        const auto translate = ActionPreset::presetWithID(QStringLiteral("language.translate"));
        const RingItem item = translate->makeItem(4, QStringLiteral("German"));
        QCOMPARE(item.title, QStringLiteral("Translate"));
        QCOMPARE(item.icon, IconSpec::symbol(QStringLiteral("character.bubble")));
        QCOMPARE(item.slot, qint64(4));
        QCOMPARE(aiPayload(item.action).targetLanguage,
                 std::optional<QString>(QStringLiteral("German")));
        QCOMPARE(aiPayload(item.action).systemPrompt, aiPayload(translate->action).systemPrompt);
        QVERIFY(!aiPayload(translate->action).targetLanguage); // the library is untouched

        const auto rewrite = ActionPreset::presetWithID(QStringLiteral("writing.rewrite"));
        QVERIFY(rewrite->makeItem(0, QStringLiteral("German")).action == rewrite->action);

        const auto downloads = ActionPreset::presetWithID(QStringLiteral("system.downloads"));
        QVERIFY(downloads->makeItem(0, QStringLiteral("German")).action == downloads->action);

        const RingItem again = translate->makeItem(4, QStringLiteral("German"));
        QVERIFY(!item.id.isNull());
        QVERIFY(again.id != item.id);
    }

    void suggestions_data()
    {
        QTest::addColumn<QString>("bundleID");
        QTest::addColumn<QStringList>("titles");
        const QStringList ai{"Summarize", "Translate"};
        const QStringList chromium{"New Tab",   "New Window", "Incognito", "Reopen Tab", "History",
                                   "Downloads", "Bookmarks",  "Reload",    "Find"};
        const QStringList firefox{"New Tab", "New Window", "Private", "Reopen Tab", "History", "Downloads"};
        const QStringList fileManager{"New Window", "New Folder",   "Home",
                                      "Location",   "Hidden Files", "Properties"};
        for (const char *id : {"chromium", "chromium-browser", "org.chromium.Chromium", "google-chrome",
                               "brave-browser", "com.brave.Browser", "microsoft-edge", "vivaldi-stable", "opera"})
            QTest::newRow(id) << id << chromium + ai;
        for (const char *id : {"firefox", "org.mozilla.firefox", "firefox-esr"})
            QTest::newRow(id) << id << firefox + ai;
        for (const char *id : {"org.gnome.Nautilus", "org.kde.dolphin", "thunar", "org.xfce.thunar", "nemo", "pcmanfm"})
            QTest::newRow(id) << id << fileManager;
        QTest::newRow("another platform's id") << "com.apple.Safari" << QStringList{"Open Notes"} + ai;
        QTest::newRow("ids are exact") << "Firefox" << QStringList{"Open Notes"} + ai;
    }

    void suggestions()
    {
        QFETCH(QString, bundleID);
        QFETCH(QStringList, titles);
        const QList<RingItem> items =
            suggestedAppActions(bundleID, QStringLiteral("Notes"), QStringLiteral("French"));
        QCOMPARE(::titles(items), titles);
        QSet<QUuid> ids;
        for (qsizetype i = 0; i < items.size(); ++i) {
            QCOMPARE(items[i].slot, qint64(i));
            QCOMPARE(items[i].icon.kind, IconSpec::Kind::symbol);
            ids.insert(items[i].id);
        }
        QCOMPARE(ids.size(), items.size());
    }

    void keystrokeSuggestionsScriptTheirKeys_data()
    {
        QTest::addColumn<QString>("bundleID");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("lastLine");
        const auto row = [](const char *name, const char *bundleID, const char *title,
                            const char *symbol, const char *lastLine) {
            QTest::newRow(name) << QString::fromLatin1(bundleID) << QString::fromLatin1(title)
                                << QString::fromLatin1(symbol) << QString::fromLatin1(lastLine);
        };
        row("firefox private", "firefox", "Private", "eyeglasses",
            "keystroke \"p\" using {control down, shift down}");
        row("firefox downloads", "org.mozilla.firefox", "Downloads", "arrow.down.circle",
            "keystroke \"y\" using {control down, shift down}");
        row("chromium downloads", "google-chrome", "Downloads", "arrow.down.circle",
            "keystroke \"j\" using {control down}");
        row("nautilus properties", "org.gnome.Nautilus", "Properties", "info.circle",
            "keystroke \"i\" using {control down}");
        row("thunar properties", "thunar", "Properties", "info.circle", "key code 36 using {option down}");
        row("dolphin new folder", "org.kde.dolphin", "New Folder", "folder.badge.plus", "key code 109 using {}");
        row("nemo home", "nemo", "Home", "house", "key code 115 using {option down}");
    }

    void keystrokeSuggestionsScriptTheirKeys()
    {
        QFETCH(QString, bundleID);
        QFETCH(QString, title);
        QFETCH(QString, lastLine);
        const QList<RingItem> items = suggestedAppActions(bundleID, QString(), QString());
        const auto item = std::find_if(items.cbegin(), items.cend(),
                                       [&](const RingItem &item) { return item.title == title; });
        QVERIFY(item != items.cend());
        QTEST(item->icon.value, "symbol");
        const auto payload = std::get<AppleScriptPayload>(item->action.payload);
        QVERIFY(!payload.showOutput);
        QCOMPARE(payload.source,
                 QStringLiteral("tell application id \"%1\" to activate\ndelay 0.05\n"
                                "tell application \"System Events\" to %2")
                     .arg(bundleID, lastLine));
    }

    void keystrokeFormIsRecognised_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<std::optional<Keystroke>>("keystroke");
        const auto chord = [](std::variant<QString, quint32> key, quint64 flags) { return KeyChord{key, flags}; };
        const KeyChord ctrlT = chord(QStringLiteral("t"), modifiers::control);
        QTest::newRow("by id") << keystrokeScript(ctrlT, QStringLiteral("firefox"))
                               << std::optional(Keystroke{QStringLiteral("firefox"), false, ctrlT});
        const KeyChord all = chord(QStringLiteral("T"), modifiers::mask);
        QTest::newRow("every modifier") << keystrokeScript(all, QStringLiteral("x"))
                                        << std::optional(Keystroke{QStringLiteral("x"), false, all});
        const KeyChord f10 = chord(quint32(109), 0);
        QTest::newRow("key code, no modifier") << keystrokeScript(f10, QStringLiteral("org.kde.dolphin"))
                                               << std::optional(Keystroke{QStringLiteral("org.kde.dolphin"), false, f10});
        const QString hostile = QStringLiteral("x\" to activate\ndo shell script \"touch /tmp/owned");
        QTest::newRow("quotes in the id") << keystrokeScript(ctrlT, hostile)
                                          << std::optional(Keystroke{hostile, false, ctrlT});
        const KeyChord quote = chord(QStringLiteral("\""), modifiers::command);
        QTest::newRow("a quote as the key") << keystrokeScript(quote, QStringLiteral("a"))
                                            << std::optional(Keystroke{QStringLiteral("a"), false, quote});
        // A file from the other platform: Safari named by name, Command-T.
        QTest::newRow("by name") << QStringLiteral("tell application \"Safari\" to activate\ndelay 0.05\n"
                                                   "tell application \"System Events\" to keystroke \"t\" using "
                                                   "{command down, shift down}")
                                 << std::optional(Keystroke{QStringLiteral("Safari"), true,
                                                            chord(QStringLiteral("t"),
                                                                  modifiers::command | modifiers::shift)});
        const std::optional<Keystroke> none;
        QTest::newRow("typing a word") << keystrokeScript(QStringLiteral("tt"), QStringLiteral("control down"),
                                                          QStringLiteral("x"))
                                       << none;
        QTest::newRow("unknown modifier") << keystrokeScript(QStringLiteral("t"), QStringLiteral("fn down"),
                                                             QStringLiteral("x"))
                                          << none;
        QTest::newRow("a line more") << keystrokeScript(ctrlT, QStringLiteral("x")) + QStringLiteral("\nbeep")
                                     << none;
        QTest::newRow("other script") << QStringLiteral("tell application \"Safari\" to make new document") << none;
    }

    void keystrokeFormIsRecognised()
    {
        QFETCH(QString, source);
        QTEST(Keystroke::parse(source), "keystroke");
    }

    void aiSuggestions()
    {
        const QList<RingItem> items = suggestedAppActions(QStringLiteral("firefox"),
                                                          QString(), QStringLiteral("French"));
        const RingItem &summarize = items[6];
        QCOMPARE(summarize.icon.value, QStringLiteral("text.line.first.and.arrowtriangle.forward"));
        QCOMPARE(aiPayload(summarize.action).systemPrompt, promptOf("reading.summarize"));
        QCOMPARE(aiPayload(summarize.action).resultHandling, ResultHandling::showPopover);
        QVERIFY(aiPayload(summarize.action).needsStrongModel);
        QVERIFY(!aiPayload(summarize.action).targetLanguage);
        const RingItem &translate = items[7];
        QCOMPARE(translate.icon.value, QStringLiteral("character.bubble"));
        QCOMPARE(aiPayload(translate.action).systemPrompt, promptOf("language.translate"));
        QCOMPARE(aiPayload(translate.action).resultHandling, ResultHandling::replaceSelection);
        QVERIFY(!aiPayload(translate.action).needsStrongModel);
        QCOMPARE(aiPayload(translate.action).targetLanguage,
                 std::optional<QString>(QStringLiteral("French")));
        QVERIFY(!aiPayload(translate.action).modelOverride);
    }

    void launcher_data()
    {
        QTest::addColumn<QString>("bundleID");
        QTest::addColumn<QString>("appName");
        QTest::addColumn<QString>("title");
        QTest::addColumn<std::optional<QString>>("launches");
        const auto row = [](const char *name, const QString &bundleID, const QString &appName,
                            const QString &title, std::optional<QString> launches) {
            QTest::newRow(name) << bundleID << appName << title << launches;
        };
        row("short name", "com.apple.Notes", "Notes", "Open Notes", "com.apple.Notes");
        row("15 with prefix", "com.apple.calculator", "Calculator", "Calculator",
            "com.apple.calculator");
        row("14 with prefix", "x", "Nine Char", "Open Nine Char", "x");
        // 9 user-perceived characters in 10 code units
        row("combining accent", "x", QString::fromUtf8("Cafe\u0301 Mode"),
            QString::fromUtf8("Open Cafe\u0301 Mode"), "x");
        row("no bundle identifier", "", "Notes", "Open Notes", std::nullopt);
    }

    void launcher()
    {
        QFETCH(QString, bundleID);
        QFETCH(QString, appName);
        QFETCH(std::optional<QString>, launches);
        const QList<RingItem> items =
            suggestedAppActions(bundleID, appName, QStringLiteral("Spanish"));
        QCOMPARE(items.size(), 3);
        QTEST(items[0].title, "title");
        QCOMPARE(items[0].icon, IconSpec::symbol(QStringLiteral("app")));
        QVERIFY(items[0].action == ItemAction{(LaunchAppPayload{launches, std::nullopt})});
    }

    void scriptLiteralsCannotBeBrokenOutOf_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("literal");
        const auto row = [](const char *name, const char *text, const char *literal) {
            QTest::newRow(name) << QString::fromLatin1(text) << QString::fromLatin1(literal);
        };
        row("plain", "org.mozilla.firefox", "\"org.mozilla.firefox\"");
        row("quote", "a\" to do shell script \"rm -rf ~",
            "\"a\\\" to do shell script \\\"rm -rf ~\"");
        row("trailing backslash", "a\\", "\"a\\\\\"");
        row("backslash then quote", "\\\"", "\"\\\\\\\"\"");
        row("empty", "", "\"\"");
    }

    void scriptLiteralsCannotBeBrokenOutOf()
    {
        QFETCH(QString, text);
        QFETCH(QString, literal);
        QCOMPARE(appleScriptStringLiteral(text), literal);
        const QString script = keystrokeScript(text, QStringLiteral("command down"), text);
        QVERIFY(script.startsWith(QStringLiteral("tell application id ") + literal
                                  + QStringLiteral(" to activate\n")));
        QVERIFY(script.endsWith(QStringLiteral("keystroke ") + literal
                                + QStringLiteral(" using {command down}")));
    }

    void hostileBundleIDStaysInsideItsLiteral()
    {
        const QString hostile =
            QStringLiteral("x\" to activate\ndo shell script \"touch /tmp/owned");
        const QString source =
            keystrokeScript(QStringLiteral("t"), QStringLiteral("command down"), hostile);
        // Every double quote the identifier brought in is escaped, so the only
        // unescaped quotes are the ones the script itself writes.
        int unescaped = 0;
        for (qsizetype i = 0; i < source.size(); ++i) {
            if (source[i] == u'\\')
                ++i;
            else if (source[i] == u'"')
                ++unescaped;
        }
        QCOMPARE(unescaped, 6);
    }
};

QTEST_GUILESS_MAIN(TestLibrary)
#include "tst_library.moc"
