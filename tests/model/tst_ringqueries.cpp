#include "model/VimaConfig.h"

#include <QTest>

using namespace vima;

namespace {

Ring page(const QString &name)
{
    return {QUuid::createUuid(), name, std::nullopt, false, std::nullopt, {}};
}

Ring appRing(const QString &name, const QString &bundleID)
{
    return {QUuid::createUuid(), name, bundleID, false, std::nullopt, {}};
}

Ring pack(const QString &name, const std::optional<QString> &bundleID = std::nullopt)
{
    return {QUuid::createUuid(), name, bundleID, true, std::nullopt, {}};
}

VimaConfig configWith(const QList<Ring> &rings)
{
    VimaConfig config;
    config.rings = rings;
    return config;
}

QStringList names(const QList<Ring> &rings)
{
    QStringList result;
    for (const Ring &ring : rings)
        result.append(ring.name);
    return result;
}

const QString editor = QStringLiteral("org.gnome.TextEditor");

} // namespace

class TestRingQueries : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ringKindsKeepStoredOrder()
    {
        const VimaConfig config = configWith({pack(QStringLiteral("P1")), page(QStringLiteral("A")),
                                              appRing(QStringLiteral("E"), editor),
                                              pack(QStringLiteral("P2"), editor), page(QStringLiteral("B"))});
        QCOMPARE(names(config.globalRings()), (QStringList{"A", "B"}));
        QCOMPARE(names(config.appRings()), (QStringList{"E"}));
        QCOMPARE(names(config.subRings()), (QStringList{"P1", "P2"}));
        QCOMPARE(config.primaryRing().name, QStringLiteral("A"));
    }

    void primaryRingWithoutPages()
    {
        const VimaConfig config = configWith({pack(QStringLiteral("P")), appRing(QStringLiteral("E"), editor)});
        QCOMPARE(config.primaryRing().name, QStringLiteral("P"));

        const VimaConfig empty;
        const Ring first = empty.primaryRing();
        const Ring second = empty.primaryRing();
        QCOMPARE(first.name, QStringLiteral("Default"));
        QVERIFY(!first.bundleIDMatch && !first.isSubRing && !first.slotCount && first.items.isEmpty());
        QVERIFY(!first.id.isNull());
        QVERIFY(first.id != second.id);
        QVERIFY(empty.rings.isEmpty());
    }

    void ringWithIDAndPageIndex()
    {
        const Ring a = page(QStringLiteral("A"));
        const Ring b = page(QStringLiteral("B"));
        const Ring app = appRing(QStringLiteral("E"), editor);
        const Ring p = pack(QStringLiteral("P"));
        const VimaConfig config = configWith({app, a, p, b});
        QCOMPARE(config.ringWithID(p.id)->name, QStringLiteral("P"));
        QCOMPARE(config.ringWithID(app.id)->name, QStringLiteral("E"));
        QVERIFY(!config.ringWithID(QUuid::createUuid()));
        QCOMPARE(config.globalRingIndex(a.id), qsizetype(0));
        QCOMPARE(config.globalRingIndex(b.id), qsizetype(1));
        QVERIFY(!config.globalRingIndex(app.id));
        QVERIFY(!config.globalRingIndex(p.id));
    }

    void ringWithIDTakesTheFirstOfDuplicates()
    {
        Ring first = page(QStringLiteral("first"));
        Ring second = pack(QStringLiteral("second"));
        second.id = first.id;
        QCOMPARE(configWith({first, second}).ringWithID(first.id)->name, QStringLiteral("first"));
    }

    void ringsForApp_data()
    {
        QTest::addColumn<QList<Ring>>("rings");
        QTest::addColumn<bool>("contextAware");
        QTest::addColumn<std::optional<QString>>("bundleID");
        QTest::addColumn<QStringList>("expected");
        const QList<Ring> usual{page(QStringLiteral("A")), appRing(QStringLiteral("E"), editor),
                                page(QStringLiteral("B"))};
        QTest::newRow("matching app ring first") << usual << true << std::optional(editor)
                                                 << QStringList{"E", "A", "B"};
        QTest::newRow("context-aware off") << usual << false << std::optional(editor) << QStringList{"A", "B"};
        QTest::newRow("no application") << usual << true << std::optional<QString>() << QStringList{"A", "B"};
        QTest::newRow("own application") << QList<Ring>{page(QStringLiteral("A")),
                                                        appRing(QStringLiteral("Self"), QStringLiteral("com.vima.Vima"))}
                                         << true << std::optional(QStringLiteral("com.vima.Vima"))
                                         << QStringList{"A"};
        QTest::newRow("no ring for it") << usual << true << std::optional(QStringLiteral("firefox"))
                                        << QStringList{"A", "B"};
        QTest::newRow("case-sensitive") << usual << true << std::optional(editor.toLower())
                                        << QStringList{"A", "B"};
        QTest::newRow("pack is not an app ring")
            << QList<Ring>{page(QStringLiteral("A")), pack(QStringLiteral("P"), editor)} << true
            << std::optional(editor) << QStringList{"A"};
        QTest::newRow("earlier app ring wins")
            << QList<Ring>{page(QStringLiteral("A")), appRing(QStringLiteral("E1"), editor),
                           appRing(QStringLiteral("E2"), editor)}
            << true << std::optional(editor) << QStringList{"E1", "A"};
        QTest::newRow("app ring that is also the primary ring")
            << QList<Ring>{appRing(QStringLiteral("E"), editor), pack(QStringLiteral("P"))} << true
            << std::optional(editor) << QStringList{"E"};
        QTest::newRow("no pages, other application")
            << QList<Ring>{pack(QStringLiteral("P")), appRing(QStringLiteral("E"), editor)} << true
            << std::optional(QStringLiteral("firefox")) << QStringList{"P"};
    }

    void ringsForApp()
    {
        QFETCH(QList<Ring>, rings);
        QFETCH(bool, contextAware);
        QFETCH(std::optional<QString>, bundleID);
        QFETCH(QStringList, expected);
        VimaConfig config = configWith(rings);
        config.featureFlags.contextAwareRings = contextAware;
        const VimaConfig::Pages pages = config.ringsForApp(bundleID);
        QCOMPARE(names(pages.rings), expected);
        QCOMPARE(pages.startIndex, qsizetype(0));
    }

    // A browser goes by several desktop ids and window classes.
    void appRingNaming_data()
    {
        QTest::addColumn<QStringList>("ringIDs");
        QTest::addColumn<QStringList>("appNames");
        QTest::addColumn<std::optional<QString>>("expected");
        const QStringList esrWindow{"firefox-esr", "Navigator", "Firefox-esr"};
        const QStringList classOnly{"Navigator", "firefox"};
        for (const QString id : {"firefox", "firefox-esr", "org.mozilla.firefox"}) {
            QTest::addRow("%s ring, ESR window", qPrintable(id)) << QStringList{id} << esrWindow << std::optional(id);
            QTest::addRow("%s ring, class-only window", qPrintable(id)) << QStringList{id} << classOnly << std::optional(id);
        }
        QTest::newRow("the exact id before an alias")
            << QStringList{"firefox", "firefox-esr"} << esrWindow << std::optional<QString>("firefox-esr");
        QTest::newRow("a class in another case") << QStringList{"gimp"} << QStringList{"gimp-2.10", "Gimp"}
                                                 << std::optional<QString>("gimp");
        QTest::newRow("another browser") << QStringList{"chromium"} << esrWindow << std::optional<QString>();
        QTest::newRow("no names") << QStringList{"firefox"} << QStringList{} << std::optional<QString>();
    }

    void appRingNaming()
    {
        QFETCH(QStringList, ringIDs);
        QFETCH(QStringList, appNames);
        QFETCH(std::optional<QString>, expected);
        QList<Ring> rings{page(QStringLiteral("A")), pack(QStringLiteral("P"), QStringLiteral("Navigator"))};
        for (const QString &id : ringIDs)
            rings.append(appRing(id, id));
        const VimaConfig config = configWith(rings);
        QCOMPARE(config.appRingNaming(appNames), expected);
        if (expected)
            QCOMPARE(names(config.ringsForApp(expected).rings).first(), *expected);
    }

    void ringsForAppWithNoRingsAtAll()
    {
        const VimaConfig::Pages pages = VimaConfig().ringsForApp(editor);
        QCOMPARE(names(pages.rings), QStringList{"Default"});
    }

    void itemInSlot()
    {
        Ring ring = page(QStringLiteral("A"));
        const auto item = [](qint64 slot, const QString &title) {
            return RingItem{QUuid::createUuid(), title, IconSpec::symbol(QStringLiteral("star")), slot,
                            ItemAction{OpenPayload{}}};
        };
        ring.items = {item(3, QStringLiteral("late")), item(1, QStringLiteral("first")),
                      item(1, QStringLiteral("second"))};
        QCOMPARE(ring.itemInSlot(1)->title, QStringLiteral("first"));
        QCOMPARE(ring.itemInSlot(3)->title, QStringLiteral("late"));
        QVERIFY(!ring.itemInSlot(0));
        QVERIFY(!ring.itemInSlot(-1));
    }
};

QTEST_GUILESS_MAIN(TestRingQueries)
#include "tst_ringqueries.moc"
