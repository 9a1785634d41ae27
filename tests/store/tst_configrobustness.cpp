#include "StoreTestSupport.h"

#include <QRandomGenerator>
#include <QTest>

using namespace vima;
using namespace vima::test;

namespace {

// A file that uses every kind of value the configuration holds.
QByteArray richFile()
{
    VimaConfig config = sampleConfig();
    config.hotkey = {12, HotkeySpec::command | HotkeySpec::shift};
    Ring &main = config.rings.first();
    main.slotCount = 6;
    main.items.append({QUuid::createUuid(), QStringLiteral("Ask"), IconSpec::emoji(QStringLiteral("✨")), 2,
                       ItemAction{AIPayload{QStringLiteral("Into {{language}}."),
                                            ResultHandling::replaceSelection,
                                            QStringLiteral("Spanish"), QStringLiteral("gpt-4o"), true}}});
    main.items.append({QUuid::createUuid(), QStringLiteral("Files"),
                       IconSpec::appIcon(QStringLiteral("org.gnome.Nautilus")), 3,
                       ItemAction{LaunchAppPayload{QStringLiteral("org.gnome.Nautilus"), std::nullopt}}});
    main.items.append({QUuid::createUuid(), QStringLiteral("Docs"), IconSpec::symbol(QStringLiteral("link")), 4,
                       ItemAction{OpenPayload{QStringLiteral("https://example.org/a?b=c")}}});
    main.items.append({QUuid::createUuid(), QStringLiteral("Script"), IconSpec::symbol(QStringLiteral("scroll")), 5,
                       ItemAction{AppleScriptPayload{QStringLiteral("beep"), true}}});
    config.rings.append(ring(QStringLiteral("Editor"), {shellItem(0)}, false, QStringLiteral("org.editor")));
    config.savedGroups.append({QUuid::createUuid(), QStringLiteral("Saved"),
                               IconSpec::symbol(QStringLiteral("star")), {opener(0, config.rings.at(1).id)},
                               {config.rings.at(1)}});
    config.pointerTrigger.enabled = true;
    config.ai.provider = LLMProviderKind::ollama;
    config.appearance.theme = AppTheme::dark;
    return ConfigStore::encode(config);
}

QByteArray mutate(QByteArray bytes, QRandomGenerator &random)
{
    static const QList<QByteArray> tokens{"{", "}", "[", "]", ",", ":", "\"", "null", "true", "-1",
                                          "1e999", "9223372036854775808", "\\u0000", "\xff", "0.5"};
    const int count = 1 + random.bounded(3);
    for (int i = 0; i < count && !bytes.isEmpty(); ++i) {
        const int at = random.bounded(int(bytes.size()));
        switch (random.bounded(4)) {
        case 0:
            bytes[at] = char(random.bounded(256));
            break;
        case 1:
            bytes.remove(at, 1 + random.bounded(8));
            break;
        case 2:
            bytes.insert(at, tokens.at(random.bounded(int(tokens.size()))));
            break;
        default:
            bytes.insert(at, bytes.mid(random.bounded(int(bytes.size())), 1 + random.bounded(16)));
            break;
        }
    }
    return bytes;
}

} // namespace

class TestConfigRobustness : public QObject {
    Q_OBJECT

    StoreFixture fixture;
    int loaded = 0;
    int fellBack = 0;

    // The file either loads or is replaced in memory by the defaults with the
    // banner; it is never written, not even by a save without a change.
    void check(const QByteArray &bytes)
    {
        fixture.writeConfig(bytes);
        ConfigStore &store = fixture.open();
        QVERIFY(!store.isFirstLaunch());
        QVERIFY2(readAll(fixture.file()) == bytes, bytes.constData());
        if (!store.loadFailed()) {
            QCOMPARE(store.lastError(), std::nullopt);
            ++loaded;
            return;
        }
        QVERIFY(store.lastError().value_or(QString()).startsWith(
            QStringLiteral("Could not read config.json (")));
        QCOMPARE(store.config().rings.first().name, QStringLiteral("Default"));
        ++fellBack;
        store.save();
        fixture.store.reset();
        QVERIFY2(readAll(fixture.file()) == bytes, bytes.constData());
    }

private Q_SLOTS:
    void everyPrefix()
    {
        const QByteArray file = richFile();
        for (qsizetype length = 0; length <= file.size(); ++length) {
            check(file.left(length));
            if (QTest::currentTestFailed())
                return;
        }
        QCOMPARE(loaded, 2); // the whole file, with and without its last line feed
    }

    void seededMutations()
    {
        const QByteArray file = richFile();
        QRandomGenerator random(20261207);
        loaded = fellBack = 0;
        for (int round = 0; round < 4000; ++round) {
            check(mutate(file, random));
            if (QTest::currentTestFailed())
                return;
        }
        QVERIFY(loaded > 0);
        QVERIFY(fellBack > 0);
    }
};

QTEST_GUILESS_MAIN(TestConfigRobustness)
#include "tst_configrobustness.moc"
