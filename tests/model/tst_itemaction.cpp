#include "JsonTestHelpers.h"

#include "model/IconSpec.h"
#include "model/ItemAction.h"
#include "model/RingItem.h"

#include <QJsonArray>
#include <QTest>

using namespace vima;
using namespace vima::test;
using Kind = ItemAction::Kind;

Q_DECLARE_METATYPE(ItemAction)
Q_DECLARE_METATYPE(IconSpec)

class TestItemAction : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void kindTexts_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("defaultTitle");
        QTest::addColumn<QString>("longTitle");
        QTest::addColumn<QString>("symbol");
        QTest::newRow("launchApp") << Kind::launchApp << "launchApp" << "Open App" << "Open App" << "app";
        QTest::newRow("open") << Kind::open << "open" << "Open" << "Open URL / File" << "link";
        QTest::newRow("shell") << Kind::shell << "shell" << "Run Script" << "Run Shell Script" << "terminal";
        QTest::newRow("appleScript") << Kind::appleScript << "appleScript" << "Run AppleScript"
                                     << "Run AppleScript" << "scroll";
        QTest::newRow("ai") << Kind::ai << "ai" << "AI Action" << "AI Action on Selection" << "sparkles";
        QTest::newRow("openRing") << Kind::openRing << "openRing" << "More" << "Open a Pack"
                                  << "circle.grid.cross";
    }

    void kindTexts()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, raw);
        QFETCH(QString, defaultTitle);
        QFETCH(QString, longTitle);
        QFETCH(QString, symbol);
        QCOMPARE(ItemAction::rawValue(kind), raw);
        QCOMPARE(ItemAction::kindFromRawValue(raw), kind);
        QCOMPARE(ItemAction::defaultTitle(kind), defaultTitle);
        QCOMPARE(ItemAction::longTitle(kind), longTitle);
        QCOMPARE(ItemAction::defaultSymbol(kind), symbol);
        QCOMPARE(ItemAction::defaultAction(kind).kind(), kind);
    }

    void kindsInOrder()
    {
        QCOMPARE(ItemAction::allKinds(),
                 (QList<Kind>{Kind::launchApp, Kind::open, Kind::shell, Kind::appleScript, Kind::ai,
                              Kind::openRing}));
        QCOMPARE(ItemAction::kindFromRawValue(QStringLiteral("OpenRing")), std::nullopt);
    }

    void defaultPayloads()
    {
        QCOMPARE(ItemAction::defaultAction(Kind::launchApp), ItemAction{LaunchAppPayload{}});
        QCOMPARE(ItemAction::defaultAction(Kind::open), ItemAction{OpenPayload{}});
        QCOMPARE(ItemAction::defaultAction(Kind::shell),
                 (ItemAction{ShellPayload{QString(), QStringLiteral("/bin/zsh"), false}}));
        QCOMPARE(ItemAction::defaultAction(Kind::appleScript), (ItemAction{AppleScriptPayload{QString(), false}}));
        QCOMPARE(ItemAction::defaultAction(Kind::ai),
                 (ItemAction{AIPayload{QStringLiteral("You are a helpful assistant."),
                                       ResultHandling::showPopover, std::nullopt, std::nullopt, false}}));
    }

    void defaultOpenRingGetsANewIdentifierEachTime()
    {
        const auto first = std::get<OpenRingPayload>(ItemAction::defaultAction(Kind::openRing).payload);
        const auto second = std::get<OpenRingPayload>(ItemAction::defaultAction(Kind::openRing).payload);
        QVERIFY(!first.ringID.isNull());
        QVERIFY(first.ringID != second.ringID);
    }

    void summary_data()
    {
        QTest::addColumn<ItemAction>("action");
        QTest::addColumn<QString>("summary");
        const QString prompt = QStringLiteral("Translate into {{language}}.\nKeep the tone.");
        QTest::newRow("launch nothing") << ItemAction{LaunchAppPayload{}} << "No app chosen";
        QTest::newRow("launch bundle wins")
            << ItemAction{LaunchAppPayload{QStringLiteral("org.gnome.TextEditor"), QStringLiteral("/usr/bin/x")}}
            << "org.gnome.TextEditor";
        QTest::newRow("launch empty bundle still wins")
            << ItemAction{LaunchAppPayload{QString(""), QStringLiteral("/usr/bin/x")}} << "";
        QTest::newRow("launch path") << ItemAction{LaunchAppPayload{std::nullopt, QStringLiteral("/usr/bin/x")}}
                                     << "/usr/bin/x";
        QTest::newRow("open empty") << ItemAction{OpenPayload{}} << "No target";
        QTest::newRow("open url") << ItemAction{OpenPayload{QStringLiteral("https://a.example/b")}}
                                  << "https://a.example/b";
        QTest::newRow("shell third line")
            << ItemAction{ShellPayload{QStringLiteral("\n\nuptime\ndate"), QStringLiteral("/bin/sh"), false}}
            << "uptime";
        QTest::newRow("shell 61 characters")
            << ItemAction{ShellPayload{QString(61, u'a'), QStringLiteral("/bin/sh"), true}}
            << QString(60, u'a') + QChar(0x2026);
        QTest::newRow("applescript first line")
            << ItemAction{AppleScriptPayload{QStringLiteral("tell app \"Finder\"\nend tell"), false}}
            << "tell app \"Finder\"";
        QTest::newRow("ai language set")
            << ItemAction{AIPayload{prompt, ResultHandling::replaceSelection, QStringLiteral("French"), {}, false}}
            << "Translate into French.";
        QTest::newRow("ai language empty")
            << ItemAction{AIPayload{prompt, ResultHandling::replaceSelection, QString(""), {}, false}}
            << "Translate into {{language}}.";
        QTest::newRow("ai language absent")
            << ItemAction{AIPayload{prompt, ResultHandling::replaceSelection, std::nullopt, {}, false}}
            << "Translate into {{language}}.";
        QTest::newRow("ai placeholder is case-sensitive")
            << ItemAction{AIPayload{QStringLiteral("In {{Language}}"), ResultHandling::showPopover,
                                    QStringLiteral("German"), {}, false}}
            << "In {{Language}}";
        QTest::newRow("open ring") << ItemAction{OpenRingPayload{QUuid::createUuid()}} << "Opens a nested ring";
    }

    void summary()
    {
        QFETCH(ItemAction, action);
        QFETCH(QString, summary);
        QCOMPARE(action.summary(), summary);
    }

    void placeholderTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("placeholder");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("spaces and breaks") << " \n\t\r\n " << true;
        QTest::newRow("default title") << "AI Action" << true;
        QTest::newRow("new long title") << "New AI Action on Selection" << true;
        QTest::newRow("new default title") << "New AI Action" << false;
        QTest::newRow("padded More") << "  More \n" << true;
        QTest::newRow("new open url") << "New Open URL / File" << true;
        QTest::newRow("open app both ways") << "Open App" << true;
        QTest::newRow("new open app") << "New Open App" << true;
        QTest::newRow("lower-case new") << "new Open URL / File" << false;
        QTest::newRow("other case") << "ai action" << false;
        QTest::newRow("real title") << "Summarize" << false;
    }

    void placeholderTitle()
    {
        QFETCH(QString, title);
        QFETCH(bool, placeholder);
        QCOMPARE(RingItem::isPlaceholderTitle(title), placeholder);
    }

    void emptyLaunchPayloadRoundTrips()
    {
        const ItemAction action = ItemAction::fromJson(object(R"({"type":"launchApp","payload":{}})"));
        QCOMPARE(action, ItemAction{LaunchAppPayload{}});
        QCOMPARE(action.toJson().value(QStringLiteral("payload")).toObject(), QJsonObject());
        QCOMPARE(action.summary(), QStringLiteral("No app chosen"));
    }

    void aiPayloadDefaultsAndOnlyWhenSetKeys()
    {
        const ItemAction action =
            ItemAction::fromJson(object(R"({"type":"ai","payload":{"systemPrompt":"Fix it",
                                                                   "targetLanguage":null}})"));
        QCOMPARE(action, (ItemAction{AIPayload{QStringLiteral("Fix it"), ResultHandling::showPopover,
                                               std::nullopt, std::nullopt, false}}));
        const QJsonObject payload = action.toJson().value(QStringLiteral("payload")).toObject();
        QCOMPARE(payload.value(QStringLiteral("resultHandling")).toString(), QStringLiteral("showPopover"));
        QCOMPARE(payload.value(QStringLiteral("needsStrongModel")), QJsonValue(false));
        QVERIFY(!payload.contains(QStringLiteral("targetLanguage")));
        QVERIFY(!payload.contains(QStringLiteral("modelOverride")));
    }

    void everyKindRoundTrips_data()
    {
        QTest::addColumn<ItemAction>("action");
        QTest::newRow("launch both") << ItemAction{LaunchAppPayload{QStringLiteral("firefox"), QStringLiteral("/usr/bin/firefox")}};
        QTest::newRow("launch empty bundle") << ItemAction{LaunchAppPayload{QString(""), std::nullopt}};
        QTest::newRow("open") << ItemAction{OpenPayload{QStringLiteral("~/Documents")}};
        QTest::newRow("shell") << ItemAction{ShellPayload{QStringLiteral("echo \"hi\"\n"), QStringLiteral("/bin/zsh"), true}};
        QTest::newRow("applescript") << ItemAction{AppleScriptPayload{QStringLiteral("beep"), true}};
        QTest::newRow("ai full") << ItemAction{AIPayload{QStringLiteral("p"), ResultHandling::replaceSelection,
                                                         QString(""), QStringLiteral("gpt-4o"), true}};
        QTest::newRow("open ring") << ItemAction{OpenRingPayload{QUuid::createUuid()}};
    }

    void everyKindRoundTrips()
    {
        QFETCH(ItemAction, action);
        QCOMPARE(throughText(action), action);
    }

    void itemWritesUpperCaseAndReadsEitherCase()
    {
        const RingItem item = RingItem::fromJson(object(R"({
            "id": "0a1b2c3d-4e5f-4a6b-8c7d-9e0fa1b2c3d4", "title": "", "slot": -3, "extra": [1],
            "icon": {"kind": "emoji", "value": "🙂"},
            "action": {"type": "openRing", "payload": {"ringID": "AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE"}}})"));
        QCOMPARE(item.id, QUuid::fromString(QStringLiteral("0a1b2c3d-4e5f-4a6b-8c7d-9e0fa1b2c3d4")));
        QCOMPARE(item.slot, qint64(-3));
        QCOMPARE(item.icon, IconSpec::emoji(QStringLiteral("🙂")));
        const QJsonObject written = item.toJson();
        QCOMPARE(written.value(QStringLiteral("id")).toString(),
                 QStringLiteral("0A1B2C3D-4E5F-4A6B-8C7D-9E0FA1B2C3D4"));
        QVERIFY(!written.contains(QStringLiteral("extra")));
        QCOMPARE(throughText(item), item);
    }

    void iconKinds_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<IconSpec>("icon");
        QTest::newRow("symbol") << "symbol" << IconSpec::symbol(QStringLiteral("sparkles"));
        QTest::newRow("emoji") << "emoji" << IconSpec::emoji(QStringLiteral("sparkles"));
        QTest::newRow("appIcon") << "appIcon" << IconSpec::appIcon(QStringLiteral("sparkles"));
    }

    void iconKinds()
    {
        QFETCH(QString, kind);
        QFETCH(IconSpec, icon);
        const QJsonObject json{{QStringLiteral("kind"), kind}, {QStringLiteral("value"), QStringLiteral("sparkles")}};
        QCOMPARE(IconSpec::fromJson(json), icon);
        QCOMPARE(icon.toJson(), json);
    }

    // Each row is an item that must fail to read, and where.
    void refusedItems_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("path");
        QTest::addColumn<JsonError::Kind>("kind");
        const QString icon = QStringLiteral(R"({"kind":"symbol","value":"star"})");
        const QString launch = QStringLiteral(R"({"type":"launchApp","payload":{}})");
        QTest::newRow("unknown type") << R"({"type":"script","payload":{}})" << icon << "action.type"
                                      << JsonError::Kind::dataCorrupted;
        QTest::newRow("missing payload") << R"({"type":"open"})" << icon << "action.payload"
                                         << JsonError::Kind::missingKey;
        QTest::newRow("payload of another kind") << R"({"type":"open","payload":{"ringID":"x"}})" << icon
                                                 << "action.payload.target" << JsonError::Kind::missingKey;
        QTest::newRow("shell without shell")
            << R"({"type":"shell","payload":{"script":"ls","showOutput":false}})" << icon
            << "action.payload.shell" << JsonError::Kind::missingKey;
        QTest::newRow("shell without showOutput")
            << R"({"type":"shell","payload":{"script":"ls","shell":"/bin/sh"}})" << icon
            << "action.payload.showOutput" << JsonError::Kind::missingKey;
        QTest::newRow("showOutput as number")
            << R"({"type":"appleScript","payload":{"source":"","showOutput":1}})" << icon
            << "action.payload.showOutput" << JsonError::Kind::wrongType;
        QTest::newRow("unknown result handling")
            << R"({"type":"ai","payload":{"systemPrompt":"p","resultHandling":"popover"}})" << icon
            << "action.payload.resultHandling" << JsonError::Kind::dataCorrupted;
        QTest::newRow("required prompt null") << R"({"type":"ai","payload":{"systemPrompt":null}})" << icon
                                              << "action.payload.systemPrompt" << JsonError::Kind::wrongType;
        QTest::newRow("launch bundle not a string") << R"({"type":"launchApp","payload":{"bundleID":7}})"
                                                    << icon << "action.payload.bundleID"
                                                    << JsonError::Kind::wrongType;
        QTest::newRow("ring id in braces")
            << R"({"type":"openRing","payload":{"ringID":"{AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE}"}})" << icon
            << "action.payload.ringID" << JsonError::Kind::dataCorrupted;
        QTest::newRow("ring id without hyphens")
            << R"({"type":"openRing","payload":{"ringID":"AAAAAAAABBBB4CCC8DDDEEEEEEEEEEEE"}})" << icon
            << "action.payload.ringID" << JsonError::Kind::dataCorrupted;
        QTest::newRow("icon kind in other case") << launch << R"({"kind":"Symbol","value":"star"})"
                                                 << "icon.kind" << JsonError::Kind::dataCorrupted;
        QTest::newRow("icon value read before kind") << launch << R"({"kind":"bogus"})" << "icon.value"
                                                     << JsonError::Kind::missingKey;
        QTest::newRow("icon not an object") << launch << R"("star")" << "icon" << JsonError::Kind::wrongType;
    }

    void refusedItems()
    {
        QFETCH(QString, action);
        QFETCH(QString, icon);
        QFETCH(QString, path);
        QFETCH(JsonError::Kind, kind);
        const QString item = QStringLiteral(
            R"({"id":"AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE","title":"t","slot":0,"icon":%1,"action":%2})")
                                 .arg(icon, action);
        const auto error = readError<RingItem>(object(item.toUtf8().constData()));
        QVERIFY(error);
        QCOMPARE(error->path(), path);
        QCOMPARE(error->kind(), kind);
    }

    void unknownIconKindMessage()
    {
        const auto error = readError<IconSpec>(object(R"({"kind":"Symbol","value":"star"})"));
        QVERIFY(error);
        QCOMPARE(error->message(), QStringLiteral("Unknown icon kind 'Symbol'"));
    }

    void slotMustBeAnInteger()
    {
        const auto error = readError<RingItem>(object(R"({"id":"AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE",
            "title":"t","slot":1.5,"icon":{"kind":"symbol","value":"x"},
            "action":{"type":"launchApp","payload":{}}})"));
        QVERIFY(error);
        QCOMPARE(error->path(), QStringLiteral("slot"));
    }
};

QTEST_GUILESS_MAIN(TestItemAction)
#include "tst_itemaction.moc"
