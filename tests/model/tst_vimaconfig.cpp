#include "JsonTestHelpers.h"

#include "model/DefaultRings.h"
#include "model/JsonWriter.h"
#include "model/RingTemplate.h"
#include "model/VimaConfig.h"

#include <QJsonArray>
#include <QTest>
#include <cmath>
#include <limits>

using namespace vima;
using namespace vima::test;

namespace {

// Only the keys a file must hold, each with the default value.
QJsonObject requiredOnly()
{
    return object(R"({"version": 1, "slotCount": 8, "hotkey": {"keyCode": 49, "modifierFlags": 524288},
                      "rings": [], "ai": {}, "appearance": {}, "featureFlags": {}})");
}

QJsonObject with(QJsonObject json, const QString &key, const QJsonValue &value)
{
    json.insert(key, value);
    return json;
}

const char *pageJson = R"({"id": "11111111-2222-4333-8444-555555555555", "name": "Main", "items": []})";

RingItem item(qint64 slot, const ItemAction &action, const IconSpec &icon)
{
    return {QUuid::createUuid(), QStringLiteral("Item %1").arg(slot), icon, slot, action};
}

// A configuration that sets every field away from its default and holds
// every kind of ring and action.
VimaConfig richConfig()
{
    VimaConfig config;
    config.version = 1;
    config.slotCount = 12;
    config.hotkey = {36, HotkeySpec::command | HotkeySpec::shift};
    Ring pack{QUuid::createUuid(), QStringLiteral("Pack"), QStringLiteral("firefox"), true, 40, {}};
    pack.items = {item(0, ItemAction{OpenPayload{QStringLiteral("https://example.com/a/b?c=d")}},
                       IconSpec::symbol(QStringLiteral("link")))};
    Ring page{QUuid::createUuid(), QStringLiteral("Page / One"), std::nullopt, false, std::nullopt, {}};
    page.items = {
        item(0, ItemAction{LaunchAppPayload{QStringLiteral("org.gnome.TextEditor"), std::nullopt}},
             IconSpec::appIcon(QStringLiteral("org.gnome.TextEditor"))),
        item(1, ItemAction{ShellPayload{QStringLiteral("ls ~/\n"), QStringLiteral("/bin/zsh"), true}},
             IconSpec::emoji(QStringLiteral("🧪"))),
        item(2, ItemAction{AppleScriptPayload{QStringLiteral("say \"hi\""), false}}, IconSpec::symbol(QStringLiteral("scroll"))),
        item(3, ItemAction{AIPayload{QStringLiteral("Into {{language}}"), ResultHandling::replaceSelection,
                                     QStringLiteral("Spanish"), QStringLiteral("gpt-4o"), true}},
             IconSpec::symbol(QStringLiteral("sparkles"))),
        item(4, ItemAction{OpenRingPayload{pack.id}}, IconSpec::symbol(QStringLiteral("circle.grid.cross"))),
    };
    Ring appRing{QUuid::createUuid(), QStringLiteral("Editor"), QStringLiteral("org.gnome.TextEditor"), false,
                 std::nullopt, {}};
    config.rings = {page, appRing, pack};
    config.ai = {LLMProviderKind::ollama, QString(), 12.5, 512, QStringLiteral("French"), false,
                 QStringLiteral("http://127.0.0.1:11434")};
    config.appearance = {AppTheme::dark, 40.0, 150.5, 0.1, 0.3, 0.5, 1.25};
    config.featureFlags.contextAwareRings = false;
    config.pointerTrigger = {true, PointerTrigger::Kind::hotCorner, 0.4, 3.0};
    config.selection.clipboardFallback = false;
    config.savedGroups = {SavedGroup{QUuid::createUuid(), QStringLiteral("Saved"), IconSpec::emoji(QStringLiteral("📦")),
                                     page.items.mid(0, 2), {pack}}};
    return config;
}

} // namespace

Q_DECLARE_METATYPE(JsonError::Kind)
Q_DECLARE_METATYPE(VimaConfig)

class TestVimaConfig : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void requiredKeysAloneGiveTheDefaults()
    {
        const VimaConfig config = VimaConfig::fromJson(requiredOnly());
        QCOMPARE(config, VimaConfig());
        // The documented defaults, not only the header's.
        QCOMPARE(config.ai.provider, LLMProviderKind::ollama);
        QCOMPARE(config.ai.model, QStringLiteral("llama3.2"));
        QCOMPARE(config.ai.timeout, 45.0);
        QCOMPARE(config.ai.maxTokens, qint64(2048));
        QCOMPARE(config.ai.defaultTargetLanguage, QStringLiteral("Spanish"));
        QVERIFY(config.ai.autoFallback);
        QCOMPARE(config.appearance.innerRadius, 48.0);
        QCOMPARE(config.appearance.outerRadius, 138.0);
        QCOMPARE(config.appearance.animationDuration, 0.18);
        QCOMPARE(config.appearance.stickyTapThreshold, 0.28);
        QCOMPARE(config.appearance.subRingDwell, 0.22);
        QCOMPARE(config.appearance.sizeScale, 1.0);
        QVERIFY(!config.pointerTrigger.enabled);
        QCOMPARE(config.pointerTrigger.holdDelay, 0.25);
        QCOMPARE(config.pointerTrigger.moveSlop, 6.0);
        QVERIFY(config.selection.clipboardFallback);
        QVERIFY(config.featureFlags.contextAwareRings);
        QVERIFY(config.savedGroups.isEmpty());
    }

    void ollamaDefaultAddressIsLocal()
    {
        const QUrl url(AISettings().ollamaBaseURL);
        QCOMPARE(url.scheme(), QStringLiteral("http"));
        QVERIFY(url.host() == QStringLiteral("localhost") || url.host() == QStringLiteral("127.0.0.1"));
        QCOMPARE(url.port(), 11434);
        QVERIFY(url.path().isEmpty());
    }

    void optionalKeysMayBeNull_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("pointerTrigger") << "pointerTrigger";
        QTest::newRow("selection") << "selection";
        QTest::newRow("savedGroups") << "savedGroups";
    }

    void optionalKeysMayBeNull()
    {
        QFETCH(QString, key);
        QCOMPARE(VimaConfig::fromJson(with(requiredOnly(), key, QJsonValue::Null)), VimaConfig());
    }

    void missingRequiredKeyIsNamed_data()
    {
        QTest::addColumn<QString>("key");
        for (const char *key : {"version", "slotCount", "hotkey", "rings", "ai", "appearance", "featureFlags"})
            QTest::newRow(key) << key;
    }

    void missingRequiredKeyIsNamed()
    {
        QFETCH(QString, key);
        QJsonObject json = requiredOnly();
        json.remove(key);
        const auto error = readError<VimaConfig>(json);
        QVERIFY(error);
        QCOMPARE(error->kind(), JsonError::Kind::missingKey);
        QCOMPARE(error->path(), key);
        QVERIFY(error->description().contains(key));
    }

    void slotCountIsClamped_data()
    {
        QTest::addColumn<qint64>("stored");
        QTest::addColumn<qint64>("read");
        QTest::newRow("negative") << qint64(-5) << qint64(1);
        QTest::newRow("zero") << qint64(0) << qint64(1);
        QTest::newRow("one") << qint64(1) << qint64(1);
        QTest::newRow("twenty-four") << qint64(24) << qint64(24);
        QTest::newRow("twenty-five") << qint64(25) << qint64(24);
        QTest::newRow("ninety-nine") << qint64(99) << qint64(24);
        QTest::newRow("int64 max") << std::numeric_limits<qint64>::max() << qint64(24);
    }

    void slotCountIsClamped()
    {
        QFETCH(qint64, stored);
        QFETCH(qint64, read);
        QCOMPARE(VimaConfig::fromJson(with(requiredOnly(), QStringLiteral("slotCount"), stored)).slotCount, read);
    }

    void ringKeepsItsOwnSlotCount()
    {
        QJsonObject ring = object(pageJson);
        ring.insert(QStringLiteral("slotCount"), 40);
        const VimaConfig config =
            VimaConfig::fromJson(with(requiredOnly(), QStringLiteral("rings"), QJsonArray{ring}));
        QCOMPARE(config.rings.first().slotCount, qint64(40));
    }

    void bareRingIsAPageAndWritesBackMinimal()
    {
        const Ring ring = Ring::fromJson(object(pageJson));
        QVERIFY(!ring.isSubRing);
        QVERIFY(!ring.bundleIDMatch);
        QVERIFY(!ring.slotCount);
        const QJsonObject written = ring.toJson();
        QCOMPARE(written.value(QStringLiteral("isSubRing")), QJsonValue(false));
        QVERIFY(!written.contains(QStringLiteral("bundleIDMatch")));
        QVERIFY(!written.contains(QStringLiteral("slotCount")));
        QCOMPARE(written.value(QStringLiteral("id")).toString(),
                 QStringLiteral("11111111-2222-4333-8444-555555555555"));
    }

    void aiSettingsReading()
    {
        auto readAI = [](const char *json) {
            return VimaConfig::fromJson(with(requiredOnly(), QStringLiteral("ai"), object(json))).ai;
        };
        QCOMPARE(readAI(R"({"provider": "ollama"})").model, QStringLiteral("llama3.2"));
        QCOMPARE(readAI(R"({"provider": "openai"})").model, QStringLiteral("gpt-4o"));
        QCOMPARE(readAI(R"({"provider": "anthropic"})").model, QStringLiteral("claude-sonnet-5"));
        QCOMPARE(readAI(R"({"provider": "openai", "model": ""})").model, QString(""));
        QCOMPARE(readAI(R"({"provider": null, "model": null})"), AISettings());
        // A choice this system can't run stays as written, to be changed by the user.
        const AISettings onDevice = readAI(R"({"provider": "appleOnDevice", "model": "on-device"})");
        QCOMPARE(onDevice.toJson()[QStringLiteral("provider")].toString(), QStringLiteral("appleOnDevice"));
        QCOMPARE(onDevice.toJson()[QStringLiteral("model")].toString(), QStringLiteral("on-device"));
    }

    void pointerTriggerKindIsLenient_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<PointerTrigger::Kind>("read");
        QTest::newRow("unknown string") << R"("longPress")" << PointerTrigger::Kind::longPressRightClick;
        QTest::newRow("number") << "3" << PointerTrigger::Kind::longPressRightClick;
        QTest::newRow("object") << "{}" << PointerTrigger::Kind::longPressRightClick;
        QTest::newRow("mouseButton") << R"("mouseButton")" << PointerTrigger::Kind::mouseButton;
        QTest::newRow("hotCorner") << R"("hotCorner")" << PointerTrigger::Kind::hotCorner;
    }

    void pointerTriggerKindIsLenient()
    {
        QFETCH(QString, kind);
        QFETCH(PointerTrigger::Kind, read);
        const QString json =
            QStringLiteral(R"({"enabled": true, "kind": %1, "holdDelay": 0.5, "moveSlop": 2})").arg(kind);
        const PointerTrigger trigger = PointerTrigger::fromJson(object(json.toUtf8().constData()));
        QCOMPARE(trigger, (PointerTrigger{true, read, 0.5, 2.0}));
    }

    // Each row puts `value` at `key` of the required-only file; the read must
    // fail at `path`.
    void refusedValues_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("path");
        QTest::addColumn<JsonError::Kind>("kind");
        using K = JsonError::Kind;
        QTest::newRow("unknown provider") << "ai" << R"({"provider": "gemini"})" << "ai.provider" << K::dataCorrupted;
        QTest::newRow("unknown theme") << "appearance" << R"({"theme": "Dark"})" << "appearance.theme"
                                       << K::dataCorrupted;
        QTest::newRow("radius as string") << "appearance" << R"({"innerRadius": "48"})"
                                          << "appearance.innerRadius" << K::wrongType;
        QTest::newRow("ai not an object") << "ai" << "[]" << "ai" << K::wrongType;
        QTest::newRow("ai null") << "ai" << "null" << "ai" << K::wrongType;
        QTest::newRow("maxTokens fraction") << "ai" << R"({"maxTokens": 10.5})" << "ai.maxTokens" << K::wrongType;
        QTest::newRow("fallback as number") << "featureFlags" << R"({"contextAwareRings": 1})"
                                            << "featureFlags.contextAwareRings" << K::wrongType;
        QTest::newRow("keyCode negative") << "hotkey" << R"({"keyCode": -1, "modifierFlags": 0})"
                                          << "hotkey.keyCode" << K::outOfRange;
        QTest::newRow("keyCode too large") << "hotkey" << R"({"keyCode": 4294967296, "modifierFlags": 0})"
                                           << "hotkey.keyCode" << K::outOfRange;
        QTest::newRow("keyCode fraction") << "hotkey" << R"({"keyCode": 49.5, "modifierFlags": 0})"
                                          << "hotkey.keyCode" << K::wrongType;
        QTest::newRow("keyCode as string") << "hotkey" << R"({"keyCode": "49", "modifierFlags": 0})"
                                           << "hotkey.keyCode" << K::wrongType;
        QTest::newRow("modifierFlags missing") << "hotkey" << R"({"keyCode": 49})" << "hotkey.modifierFlags"
                                               << K::missingKey;
        QTest::newRow("modifierFlags negative") << "hotkey" << R"({"keyCode": 49, "modifierFlags": -1})"
                                                << "hotkey.modifierFlags" << K::outOfRange;
        QTest::newRow("version fraction") << "version" << "1.5" << "version" << K::wrongType;
        QTest::newRow("version beyond 64 bits") << "version" << "1e30" << "version" << K::outOfRange;
        QTest::newRow("slotCount as string") << "slotCount" << R"("8")" << "slotCount" << K::wrongType;
        QTest::newRow("ring id in braces")
            << "rings" << R"([{"id": "{11111111-2222-4333-8444-555555555555}", "name": "x", "items": []}])"
            << "rings[0].id" << K::dataCorrupted;
        QTest::newRow("ring id as urn")
            << "rings" << R"([{"id": "urn:uuid:11111111-2222-4333-8444-555555555555", "name": "x", "items": []}])"
            << "rings[0].id" << K::dataCorrupted;
        QTest::newRow("ring id 35 characters")
            << "rings" << R"([{"id": "11111111-2222-4333-8444-55555555555", "name": "x", "items": []}])"
            << "rings[0].id" << K::dataCorrupted;
        QTest::newRow("second ring lacks items")
            << "rings" << QStringLiteral("[%1, {\"id\": \"11111111-2222-4333-8444-555555555555\", \"name\": \"x\"}]")
                              .arg(QString::fromUtf8(pageJson))
            << "rings[1].items" << K::missingKey;
        QTest::newRow("ring slotCount fraction")
            << "rings" << R"([{"id": "11111111-2222-4333-8444-555555555555", "name": "x", "items": [], "slotCount": 2.5}])"
            << "rings[0].slotCount" << K::wrongType;
        QTest::newRow("saved group without icon")
            << "savedGroups" << R"([{"id": "11111111-2222-4333-8444-555555555555", "name": "x", "items": []}])"
            << "savedGroups[0].icon" << K::missingKey;
        QTest::newRow("saved group nested ring broken")
            << "savedGroups"
            << R"([{"id": "11111111-2222-4333-8444-555555555555", "name": "x", "items": [],
                    "icon": {"kind": "emoji", "value": "x"}, "nestedRings": [{"name": "y"}]}])"
            << "savedGroups[0].nestedRings[0].id" << K::missingKey;
        QTest::newRow("pointer trigger wrong type") << "pointerTrigger" << R"({"holdDelay": true})"
                                                    << "pointerTrigger.holdDelay" << K::wrongType;
    }

    void refusedValues()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, path);
        QFETCH(JsonError::Kind, kind);
        const QJsonObject wrapper = object(QStringLiteral("{\"v\": %1}").arg(value).toUtf8().constData());
        const auto error = readError<VimaConfig>(with(requiredOnly(), key, wrapper.value(QStringLiteral("v"))));
        QVERIFY(error);
        QCOMPARE(error->path(), path);
        QCOMPARE(error->kind(), kind);
    }

    // Only Shift, Control, Option and Command make a combination; lock and
    // function bits alone leave a bare key.
    void hotkeyUsable_data()
    {
        QTest::addColumn<quint64>("flags");
        QTest::addColumn<bool>("usable");
        QTest::newRow("bare key") << quint64(0) << false;
        QTest::newRow("caps lock only") << quint64(0x10000) << false;
        QTest::newRow("function only") << quint64(0x800000) << false;
        QTest::newRow("shift") << HotkeySpec::shift << true;
        QTest::newRow("command with function") << (HotkeySpec::command | 0x800000) << true;
    }
    void hotkeyUsable()
    {
        QFETCH(quint64, flags);
        QFETCH(bool, usable);
        QCOMPARE((HotkeySpec{96, flags}.isUsable()), usable);
    }

    void integerLimits()
    {
        const HotkeySpec largest = HotkeySpec::fromJson(object(R"({"keyCode": 4294967295, "modifierFlags": 0})"));
        QCOMPARE(largest.keyCode, quint32(4294967295u));
        QCOMPARE(HotkeySpec::fromJson(object(R"({"keyCode": 49.0, "modifierFlags": 1e3})")),
                 (HotkeySpec{49, 1000}));
        const HotkeySpec wide{49, HotkeySpec::option | (quint64(1) << 40)};
        QCOMPARE(throughText(wide), wide);
        const VimaConfig old = VimaConfig::fromJson(with(requiredOnly(), QStringLiteral("version"), -7));
        QCOMPARE(old.version, qint64(-7));
        QCOMPARE(old.toJson().value(QStringLiteral("version")).toInteger(), qint64(-7));
    }

    void savedGroupWithoutNestedRings()
    {
        const SavedGroup group = SavedGroup::fromJson(object(R"({"id": "11111111-2222-4333-8444-555555555555",
            "name": "x", "icon": {"kind": "emoji", "value": "x"}, "items": []})"));
        QVERIFY(group.nestedRings.isEmpty());
        QCOMPARE(group.toJson().value(QStringLiteral("nestedRings")), QJsonValue(QJsonArray()));
    }

    void unknownKeysAreIgnoredAndDropped()
    {
        QJsonObject json = with(requiredOnly(), QStringLiteral("futureFeature"), QJsonObject{{"a", 1}});
        QJsonObject ring = object(pageJson);
        ring.insert(QStringLiteral("colour"), QStringLiteral("red"));
        json.insert(QStringLiteral("rings"), QJsonArray{ring});
        json.insert(QStringLiteral("ai"), QJsonObject{{QStringLiteral("temperature"), 0.2}});
        const VimaConfig config = VimaConfig::fromJson(json);
        QCOMPARE(config.rings.size(), 1);
        const QByteArray written = JsonWriter::encode(config.toJson());
        QVERIFY(!written.contains("futureFeature"));
        QVERIFY(!written.contains("colour"));
        QVERIFY(!written.contains("temperature"));
    }

    void richConfigurationRoundTrips()
    {
        const VimaConfig config = richConfig();
        const QByteArray text = JsonWriter::encode(config.toJson());
        QCOMPARE(VimaConfig::fromJson(JsonReader::parse(text)), config);
        QVERIFY(text.contains("\"https://example.com/a/b?c=d\""));
        QVERIFY(!text.contains("\\/"));
        QVERIFY(text.contains('\n')); // pretty-printed
    }

    // Built the way the default configuration is: the default template's
    // rings for 8 slots, then the per-app rings.
    void defaultConfigurationRoundTrips()
    {
        VimaConfig config;
        config.rings = RingTemplate::defaultTemplate().makeRings(config.slotCount, QStringLiteral("Spanish"))
            + defaultContextRings(QStringLiteral("Spanish"), QStringLiteral("firefox"));
        const QByteArray text = JsonWriter::encode(config.toJson());
        QCOMPARE(VimaConfig::fromJson(JsonReader::parse(text)), config);
        QVERIFY(text.contains("/") && !text.contains("\\/"));
    }

    // The file is written straight from the model; it must come out byte for
    // byte as the document the same values make.
    void writtenStraightAsTheDocumentWouldBe_data()
    {
        QTest::addColumn<VimaConfig>("config");
        QTest::newRow("defaults, no rings") << VimaConfig{};
        QTest::newRow("every kind of slot and setting") << richConfig();
        VimaConfig defaults;
        defaults.rings = RingTemplate::defaultTemplate().makeRings(8, QStringLiteral("Spanish")) +
                         defaultContextRings(QStringLiteral("Spanish"), QStringLiteral("firefox"));
        QTest::newRow("default rings") << defaults;

        VimaConfig texts = richConfig();
        QString lone = QStringLiteral("lone ");
        lone.append(QChar(0xD800)).append(QStringLiteral(" low ")).append(QChar(0xDC00));
        texts.rings[0].name = QStringLiteral("tab\tquote\" back\\slash /slash \u0001\u001f\u007f\b\f\r");
        texts.rings[0].items[0].title = QStringLiteral("é ü ß 日本 🚀 👩‍👩‍👧 \u2028");
        texts.rings[1].name = lone;
        texts.rings[1].items = {};
        QTest::newRow("escapes and scripts") << texts;

        VimaConfig numbers = richConfig();
        numbers.appearance = {AppTheme::light, 0.0, 1e17, 1.5e-7, -0.0, 123456789012.0, 0.1 + 0.2};
        numbers.ai.timeout = 9007199254740993.0;
        numbers.ai.maxTokens = std::numeric_limits<qint64>::min();
        numbers.hotkey = {std::numeric_limits<quint32>::max(), std::numeric_limits<quint64>::max()};
        numbers.version = -7;
        numbers.rings[2].slotCount = std::numeric_limits<qint64>::max();
        numbers.savedGroups.append(SavedGroup{QUuid(), QString(), IconSpec::emoji(QString()), {}, {}});
        QTest::newRow("numbers at their edges, empty lists") << numbers;
    }

    void writtenStraightAsTheDocumentWouldBe()
    {
        QFETCH(VimaConfig, config);
        QCOMPARE(JsonWriter::encode(config), JsonWriter::encode(config.toJson()));
    }

    void keysAreSorted()
    {
        const QByteArray text = JsonWriter::encode(richConfig().toJson());
        const QList<QByteArray> rootKeys{"ai", "appearance", "featureFlags", "hotkey", "pointerTrigger",
                                         "rings", "savedGroups", "selection", "slotCount", "version"};
        qsizetype previous = -1;
        for (const QByteArray &key : rootKeys) {
            const qsizetype at = text.indexOf("\n    \"" + key + "\":");
            QVERIFY2(at > previous, key.constData());
            previous = at;
        }
        const QList<QByteArray> ringKeys{"bundleIDMatch", "id", "isSubRing", "items", "name", "slotCount"};
        const qsizetype pack = text.indexOf("\"bundleIDMatch\": \"firefox\"");
        QVERIFY(pack > 0);
        previous = pack - 1;
        for (const QByteArray &key : ringKeys) {
            const qsizetype at = text.indexOf("\"" + key + "\":", pack);
            QVERIFY2(at > previous, key.constData());
            previous = at;
        }
    }

    void notFiniteNumbersAreRefused_data()
    {
        QTest::addColumn<double>("number");
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
        QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity();
    }

    void notFiniteNumbersAreRefused()
    {
        QFETCH(double, number);
        VimaConfig config = richConfig();
        config.rings.clear();
        config.savedGroups.first().nestedRings.clear();
        config.appearance.outerRadius = number;
        try {
            JsonWriter::encode(config);
            QFAIL("encoded a number JSON cannot hold");
        } catch (const JsonError &error) {
            QCOMPARE(error.kind(), JsonError::Kind::notEncodable);
            QCOMPARE(error.path(), QStringLiteral("appearance.outerRadius"));
        }
    }

    void brokenDocumentIsRefused_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("truncated") << QByteArray(R"({"version": 1,)");
        QTest::newRow("array at the top") << QByteArray("[]");
        QTest::newRow("empty") << QByteArray();
    }

    void brokenDocumentIsRefused()
    {
        QFETCH(QByteArray, text);
        QVERIFY_THROWS_EXCEPTION(JsonError, JsonReader::parse(text));
    }

    void ownBundleIdentifier()
    {
        QCOMPARE(VimaConfig::ownBundleIdentifier(), QStringLiteral("com.vima.Vima"));
    }
};

QTEST_GUILESS_MAIN(TestVimaConfig)
#include "tst_vimaconfig.moc"
