#include "StoreTestSupport.h"

#include "store/SavedGroupCopy.h"

#include <QSet>
#include <QTest>

using namespace vima;
using namespace vima::test;

namespace {

QUuid linkOf(const RingItem &item) { return std::get<OpenRingPayload>(item.action.payload).ringID; }

SavedGroup groupOf(const QList<RingItem> &items, const QList<Ring> &nested)
{
    return {QUuid::createUuid(), QStringLiteral("Saved"), IconSpec::emoji(QStringLiteral("📦")), items,
            nested};
}

// Every id of rings and items the installed pack brought.
QList<QUuid> idsOf(const InstalledSavedGroup &installed)
{
    QList<Ring> rings = installed.nestedRings;
    rings.append(installed.pack);
    QList<QUuid> ids;
    for (const Ring &ring : rings) {
        ids.append(ring.id);
        for (const RingItem &item : ring.items)
            ids.append(item.id);
    }
    return ids;
}

} // namespace

class TestSavedGroups : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void collectingFollowsLinksBreadthFirst()
    {
        const Ring deep = pack(QStringLiteral("Deep"));
        const Ring a = pack(QStringLiteral("A"), {opener(0, deep.id)});
        const Ring b = pack(QStringLiteral("B"));
        const Ring unrelated = pack(QStringLiteral("Unrelated"));
        const QList<RingItem> items{opener(0, a.id), shellItem(1), opener(2, b.id), opener(3, a.id)};
        const QList<Ring> all{unrelated, deep, b, a};
        QCOMPARE(collectNestedRings(items, all), QList<Ring>({a, b, deep}));
        QCOMPARE(collectNestedRings({shellItem(0)}, all), QList<Ring>());
    }

    void collectingCapturesTheSavedRingWhenLinkedBack()
    {
        Ring saved = ring(QStringLiteral("Saved"));
        const Ring back = pack(QStringLiteral("Back"), {opener(0, saved.id)});
        saved.items = {opener(0, back.id)};
        QCOMPARE(collectNestedRings(saved.items, {saved, back}), QList<Ring>({back, saved}));
    }

    void installingGivesFreshIdsAndRewritesLinks()
    {
        const Ring b = ring(QStringLiteral("B"), {}, false, QStringLiteral("org.app"));
        const Ring a = pack(QStringLiteral("A"), {opener(0, b.id)});
        Ring bWithLoop = b;
        bWithLoop.items = {opener(0, a.id), shellItem(1)};
        const QUuid missing = QUuid::createUuid();
        const SavedGroup group = groupOf({opener(0, a.id), opener(1, a.id), opener(2, missing)},
                                         {a, bWithLoop});

        const InstalledSavedGroup installed = instantiate(group);
        const Ring &newA = installed.nestedRings.at(0);
        const Ring &newB = installed.nestedRings.at(1);
        QCOMPARE(installed.pack.name, QStringLiteral("Saved"));
        QVERIFY(installed.pack.isSubRing);
        QCOMPARE(installed.pack.bundleIDMatch, std::nullopt);
        QCOMPARE(installed.pack.slotCount, std::nullopt);
        // Both links to A reach the one new A; a dangling link is kept as it was.
        QCOMPARE(linkOf(installed.pack.items.at(0)), newA.id);
        QCOMPARE(linkOf(installed.pack.items.at(1)), newA.id);
        QCOMPARE(linkOf(installed.pack.items.at(2)), missing);
        // A and B open each other under their new ids.
        QCOMPARE(linkOf(newA.items.at(0)), newB.id);
        QCOMPARE(linkOf(newB.items.at(0)), newA.id);
        // A per-app ring comes back as a pack, its name and match unchanged.
        QVERIFY(newB.isSubRing);
        QCOMPARE(newB.name, QStringLiteral("B"));
        QCOMPARE(newB.bundleIDMatch, QStringLiteral("org.app"));
        QCOMPARE(newB.items.at(1).title, bWithLoop.items.at(1).title);
        QCOMPARE(newB.items.at(1).slot, 1);
    }

    void installingTwiceSharesNoId()
    {
        const Ring a = pack(QStringLiteral("A"), {shellItem(0)});
        const SavedGroup group = groupOf({opener(0, a.id), shellItem(1)}, {a});
        const QList<QUuid> first = idsOf(instantiate(group));
        const QList<QUuid> second = idsOf(instantiate(group));
        QSet<QUuid> seen{group.id, a.id, a.items.first().id, group.items.at(0).id, group.items.at(1).id};
        for (const QUuid &id : first + second) {
            QVERIFY2(!seen.contains(id), qPrintable(id.toString()));
            seen.insert(id);
        }
        QCOMPARE(seen.size(), 5 + 2 * 5);
    }

    void duplicateNestedIdsGetIdsOfTheirOwn()
    {
        // A hand-edited file may repeat an id; links follow the first ring.
        const Ring first = pack(QStringLiteral("First"), {shellItem(0)});
        Ring repeat = pack(QStringLiteral("Repeat"));
        repeat.id = first.id;
        const SavedGroup group = groupOf({opener(0, first.id)}, {first, repeat});
        const InstalledSavedGroup installed = instantiate(group);
        QCOMPARE(installed.nestedRings.size(), 2);
        QVERIFY(installed.nestedRings.at(0).id != installed.nestedRings.at(1).id);
        QCOMPARE(linkOf(installed.pack.items.first()), installed.nestedRings.at(0).id);
        QCOMPARE(installed.nestedRings.at(1).name, QStringLiteral("Repeat"));
    }

    void remapKeepsEverythingButIdsAndMappedLinks()
    {
        const QUuid from = QUuid::createUuid(), to = QUuid::createUuid();
        const QList<RingItem> items{opener(4, from), shellItem(2)};
        const QList<RingItem> remapped = remapItems(items, {{from, to}});
        QCOMPARE(remapped.size(), 2);
        QCOMPARE(linkOf(remapped.at(0)), to);
        QCOMPARE(remapped.at(0).slot, 4);
        RingItem second = remapped.at(1);
        QVERIFY(second.id != items.at(1).id);
        second.id = items.at(1).id;
        QCOMPARE(second, items.at(1));
    }
};

QTEST_GUILESS_MAIN(TestSavedGroups)
#include "tst_savedgroups.moc"
