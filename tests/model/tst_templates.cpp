#include "model/ActionPreset.h"
#include "model/AppSuggestions.h"
#include "model/DefaultRings.h"
#include "model/JsonReader.h"
#include "model/JsonWriter.h"
#include "model/KeyCodes.h"
#include "model/Keystroke.h"
#include "model/RingTemplate.h"
#include "model/StarterItems.h"

#include <QSet>
#include <QTest>

using namespace vima;

namespace {

using Entry = RingTemplate::Entry;

QStringList titles(const QList<RingItem> &items)
{
    QStringList result;
    for (const RingItem &item : items)
        result.append(item.title);
    return result;
}

QStringList names(const QList<Ring> &rings)
{
    QStringList result;
    for (const Ring &ring : rings)
        result.append(ring.name);
    return result;
}

QList<qint64> slots(const QList<RingItem> &items)
{
    QList<qint64> result;
    for (const RingItem &item : items)
        result.append(item.slot);
    return result;
}

QList<qint64> range(qint64 first, qint64 count)
{
    QList<qint64> result;
    for (qint64 i = 0; i < count; ++i)
        result.append(first + i);
    return result;
}

std::optional<QUuid> opens(const RingItem &item)
{
    if (const auto *payload = std::get_if<OpenRingPayload>(&item.action.payload))
        return payload->ringID;
    return std::nullopt;
}

const AIPayload &aiPayload(const RingItem &item)
{
    return std::get<AIPayload>(item.action.payload);
}

QString promptOf(const char *presetID)
{
    return std::get<AIPayload>(
               ActionPreset::presetWithID(QString::fromLatin1(presetID))->action.payload)
        .systemPrompt;
}

// The ring after a trip through the configuration file's text.
Ring throughFile(const Ring &ring)
{
    return Ring::fromJson(JsonReader::parse(JsonWriter::encode(ring.toJson())));
}

QSet<QUuid> allIDs(const QList<Ring> &rings)
{
    QSet<QUuid> ids;
    for (const Ring &ring : rings) {
        ids.insert(ring.id);
        for (const RingItem &item : ring.items)
            ids.insert(item.id);
    }
    return ids;
}

} // namespace

class TestTemplates : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void templates_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<int>("entries");
        const auto row = [](const char *id, const char *name, const char *symbol,
                            const char *summary, int entries) {
            QTest::newRow(id) << QString::fromLatin1(id) << QString::fromLatin1(name)
                              << QString::fromLatin1(symbol) << QString::fromLatin1(summary)
                              << entries;
        };
        row("everyday", "Everyday", "star",
            "A bit of everything. A good place to start if none of the others fit.", 6);
        row("writer", "Writing", "pencil.line",
            "Fix, tighten and retone prose. For anyone who writes for a living.", 5);
        row("designer", "Design", "paintbrush.pointed",
            "Microcopy, naming and alt text, plus a colour picker and snipping tool.", 5);
        row("video", "Video", "play.rectangle",
            "Titles, descriptions, chapters and script trims from a transcript.", 5);
        row("developer", "Development", "chevron.left.forwardslash.chevron.right",
            "Explain code, comment it, decode errors and regexes.", 5);
        row("student", "Studying", "book",
            "Understand dense material: explain, summarise, define, question.", 5);
    }

    void templates()
    {
        QFETCH(QString, id);
        const auto found = RingTemplate::templateWithID(id);
        QVERIFY(found);
        QTEST(found->name, "name");
        QTEST(found->symbol, "symbol");
        QTEST(found->summary, "summary");
        QTEST(int(found->entries.size()), "entries");
    }

    void templateOrderAndDefault()
    {
        QStringList ids;
        for (const RingTemplate &entry : RingTemplate::all())
            ids.append(entry.id);
        QCOMPARE(ids,
                 (QStringList{"everyday", "writer", "designer", "video", "developer", "student"}));
        QCOMPARE(RingTemplate::defaultTemplate().id, QStringLiteral("everyday"));
        QVERIFY(!RingTemplate::templateWithID(QStringLiteral("Everyday")));
        QVERIFY(!RingTemplate::templateWithID(QStringLiteral("nope")));
    }

    void everyNamedPresetExists()
    {
        for (const RingTemplate &entry : RingTemplate::all()) {
            for (const Entry &slot : entry.entries) {
                QStringList ids;
                if (const auto *group = std::get_if<Entry::Group>(&slot.value))
                    ids = group->actions;
                else
                    ids = {std::get<Entry::Action>(slot.value).presetID};
                for (const QString &id : ids)
                    QVERIFY2(ActionPreset::presetWithID(id), qPrintable(entry.id + u' ' + id));
            }
        }
    }

    void previewTitles_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("everyday") << "everyday" << QStringList{"Write", "Read",      "Translate",
                                                               "Snip",  "Downloads", "Dark Mode"};
        QTest::newRow("designer") << "designer"
                                  << QStringList{"Copy", "Publish", "Color Picker", "Snip",
                                                 "Snip to File"};
        QTest::newRow("developer")
            << "developer" << QStringList{"Code", "Debug", "Data", "Snip", "New Window"};
        QTest::newRow("student") << "student"
                                 << QStringList{"Understand", "Study", "Translate", "To English",
                                                "Snip"};
    }

    void previewTitles()
    {
        QFETCH(QString, id);
        QTEST(RingTemplate::templateWithID(id)->previewTitles(), "titles");
    }

    void everydayWithEightSlots()
    {
        const QList<Ring> rings =
            RingTemplate::defaultTemplate().makeRings(8, QStringLiteral("Spanish"));
        QCOMPARE(names(rings), (QStringList{"Default", "Write", "Read"}));

        const Ring &primary = rings[0];
        QVERIFY(!primary.isSubRing);
        QVERIFY(!primary.bundleIDMatch);
        QVERIFY(!primary.slotCount);
        QCOMPARE(titles(primary.items),
                 (QStringList{"Write", "Read", "Translate", "Snip", "Downloads", "Dark Mode"}));
        QCOMPARE(slots(primary.items), range(0, 6));
        QCOMPARE(opens(primary.items[0]), std::optional(rings[1].id));
        QCOMPARE(opens(primary.items[1]), std::optional(rings[2].id));
        QCOMPARE(primary.items[0].icon, IconSpec::symbol(QStringLiteral("pencil.line")));
        QCOMPARE(primary.items[1].icon, IconSpec::symbol(QStringLiteral("book")));
        QCOMPARE(aiPayload(primary.items[2]).targetLanguage,
                 std::optional<QString>(QStringLiteral("Spanish")));
        QCOMPARE(primary.items[5].action.kind(), ItemAction::Kind::shell);

        QCOMPARE(titles(rings[1].items),
                 (QStringList{"Fix Grammar", "Rewrite", "Shorten", "Professional", "To Bullets"}));
        QCOMPARE(slots(rings[1].items), range(0, 5));
        QCOMPARE(titles(rings[2].items),
                 (QStringList{"Summarize", "Explain", "Takeaways", "Questions"}));
        QCOMPARE(slots(rings[2].items), range(0, 4));
        for (const Ring &pack : rings.mid(1)) {
            QVERIFY(pack.isSubRing);
            QVERIFY(!pack.bundleIDMatch);
            QVERIFY(!pack.slotCount);
        }
    }

    void fewerSlotsCutEntriesAndPacks_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<qint64>("slotCount");
        QTest::addColumn<QStringList>("ringNames");
        QTest::addColumn<QList<QStringList>>("ringTitles");
        QTest::newRow("everyday 3")
            << "everyday" << qint64(3) << QStringList{"Default", "Write", "Read"}
            << QList<QStringList>{{"Write", "Read", "Translate"},
                                  {"Fix Grammar", "Rewrite", "Shorten"},
                                  {"Summarize", "Explain", "Takeaways"}};
        QTest::newRow("writer 1") << "writer" << qint64(1) << QStringList{"Default", "Fix"}
                                  << QList<QStringList>{{"Fix"}, {"Fix Grammar"}};
        QTest::newRow("developer 8")
            << "developer" << qint64(8) << QStringList{"Default", "Code", "Debug", "Data"}
            << QList<QStringList>{{"Code", "Debug", "Data", "Snip", "New Window"},
                                  {"Explain Code", "Comment", "Write Tests", "Convert"},
                                  {"Explain Error", "Explain Regex", "Explain"},
                                  {"To JSON", "To Table", "Clean Up", "Sort List"}};
        QTest::newRow("none") << "everyday" << qint64(0) << QStringList{"Default"}
                              << QList<QStringList>{{}};
        QTest::newRow("negative") << "video" << qint64(-3) << QStringList{"Default"}
                                  << QList<QStringList>{{}};
    }

    void fewerSlotsCutEntriesAndPacks()
    {
        QFETCH(QString, id);
        QFETCH(qint64, slotCount);
        QFETCH(QList<QStringList>, ringTitles);
        const QList<Ring> rings =
            RingTemplate::templateWithID(id)->makeRings(slotCount, QStringLiteral("Spanish"));
        QTEST(names(rings), "ringNames");
        for (qsizetype i = 0; i < rings.size(); ++i)
            QCOMPARE(titles(rings[i].items), ringTitles[i]);
    }

    void unknownPresetsLeaveNoGap()
    {
        const RingTemplate custom{
            "custom",
            "Custom",
            "",
            "star",
            {Entry::action("nope"), Entry::action("system.downloads"),
             Entry::group("Mixed", "tag", {"gone", "writing.rewrite", "dev.convert"}),
             Entry::group("Empty", "tag", {"gone"}), Entry::action("system.snip")}};
        QCOMPARE(custom.previewTitles(), (QStringList{"Downloads", "Mixed", "Empty"}));

        // The unknown first entry still counts towards the first two.
        QCOMPARE(titles(custom.makeRings(2, QString()).first().items), QStringList{"Downloads"});

        const QList<Ring> rings = custom.makeRings(8, QString());
        QCOMPARE(names(rings), (QStringList{"Default", "Mixed", "Empty"}));
        QCOMPARE(titles(rings[0].items), (QStringList{"Downloads", "Mixed", "Empty"}));
        QCOMPARE(slots(rings[0].items), range(0, 3));
        QCOMPARE(titles(rings[1].items), (QStringList{"Rewrite", "Convert"}));
        QCOMPARE(slots(rings[1].items), range(0, 2));
        QVERIFY(rings[2].items.isEmpty());
        QCOMPARE(opens(rings[0].items[2]), std::optional(rings[2].id));
    }

    void groupItems()
    {
        const QStringList ids{"reading.define", "nope", "writing.rewrite", "writing.shorten"};
        QCOMPARE(titles(RingTemplate::groupItems(ids, 3, QString())),
                 (QStringList{"Define", "Rewrite"}));
        QCOMPARE(slots(RingTemplate::groupItems(ids, 8, QString())), range(0, 3));
        QVERIFY(RingTemplate::groupItems(ids, 0, QString()).isEmpty());
        QVERIFY(RingTemplate::groupItems(ids, -1, QString()).isEmpty());

        const QList<RingItem> translated =
            RingTemplate::groupItems({"language.translate"}, 8, QStringLiteral("Italian"));
        QCOMPARE(aiPayload(translated[0]).targetLanguage,
                 std::optional<QString>(QStringLiteral("Italian")));
    }

    void everyCallMakesFreshLinkedIDs()
    {
        for (const RingTemplate &entry : RingTemplate::all()) {
            const QList<Ring> first = entry.makeRings(24, QStringLiteral("Spanish"));
            const QList<Ring> second = entry.makeRings(24, QStringLiteral("Spanish"));
            const QSet<QUuid> firstIDs = allIDs(first);
            QVERIFY(!firstIDs.contains(QUuid()));
            QVERIFY(!firstIDs.intersects(allIDs(second)));

            QList<QUuid> linked;
            for (const RingItem &item : first[0].items) {
                if (const auto target = opens(item))
                    linked.append(*target);
            }
            QList<QUuid> packs;
            for (const Ring &pack : first.mid(1))
                packs.append(pack.id);
            QCOMPARE(linked, packs);
        }
    }

    void ringsSurviveTheFile_data()
    {
        QTest::addColumn<QList<Ring>>("rings");
        for (const RingTemplate &entry : RingTemplate::all())
            QTest::newRow(qPrintable(entry.id)) << entry.makeRings(24, QStringLiteral("Spanish"));
        QTest::newRow("browser") << defaultContextRings(QStringLiteral("Spanish"), QStringLiteral("firefox"));
        QTest::newRow("starter items")
            << QList<Ring>{{QUuid::createUuid(), QStringLiteral("Starter"), std::nullopt, false, 8,
                            vima::starterItems(0, QStringLiteral("Spanish"))}};
    }

    void ringsSurviveTheFile()
    {
        QFETCH(QList<Ring>, rings);
        for (const Ring &ring : rings)
            QCOMPARE(throughFile(ring), ring);
    }

    void browserRing_data()
    {
        QTest::addColumn<QString>("browser");
        QTest::addColumn<QString>("ringFor");
        QTest::addColumn<KeyChord>("downloads");
        const KeyChord ctrlShiftY{QStringLiteral("y"), modifiers::control | modifiers::shift};
        QTest::newRow("firefox") << "firefox" << "firefox" << ctrlShiftY;
        QTest::newRow("flatpak firefox") << "org.mozilla.firefox" << "org.mozilla.firefox" << ctrlShiftY;
        QTest::newRow("chrome") << "google-chrome" << "google-chrome"
                                << KeyChord{QStringLiteral("j"), modifiers::control};
        QTest::newRow("unknown browser") << "org.gnome.Epiphany" << "firefox" << ctrlShiftY;
    }

    void browserRing()
    {
        QFETCH(QString, browser);
        QFETCH(QString, ringFor);
        const QList<Ring> rings = defaultContextRings(QStringLiteral("Portuguese"), browser);
        QCOMPARE(rings.size(), 1);
        const Ring &ring = rings[0];
        QVERIFY(!ring.name.isEmpty());
        QCOMPARE(ring.bundleIDMatch, std::optional<QString>(ringFor));
        QVERIFY(!ring.isSubRing);
        QVERIFY(!ring.slotCount);
        QCOMPARE(titles(ring.items), (QStringList{"New Tab", "Reopen Tab", "Summarize",
                                                  "Translate", "New Window", "Downloads"}));
        QCOMPARE(slots(ring.items), range(0, 6));
        QStringList symbols;
        for (const RingItem &item : ring.items) {
            QCOMPARE(item.icon.kind, IconSpec::Kind::symbol);
            symbols.append(item.icon.value);
        }
        QCOMPARE(symbols,
                 (QStringList{"plus.square", "arrow.uturn.left.square",
                              "text.line.first.and.arrowtriangle.forward", "character.bubble",
                              "macwindow.badge.plus", "arrow.down.circle"}));

        // Each key slot goes to this browser's window, with its Linux keys.
        const auto keys = [&](int slot) {
            const auto payload = std::get<AppleScriptPayload>(ring.items[slot].action.payload);
            const auto keystroke = Keystroke::parse(payload.source);
            return keystroke && !payload.showOutput && keystroke->application == ringFor && !keystroke->byName
                ? std::optional(keystroke->chord)
                : std::nullopt;
        };
        const quint64 ctrl = modifiers::control;
        QCOMPARE(keys(0), std::optional(KeyChord{QStringLiteral("t"), ctrl}));
        QCOMPARE(keys(1), std::optional(KeyChord{QStringLiteral("t"), ctrl | modifiers::shift}));
        QCOMPARE(keys(4), std::optional(KeyChord{QStringLiteral("n"), ctrl}));
        QTEST(*keys(5), "downloads");

        QCOMPARE(aiPayload(ring.items[2]).systemPrompt, promptOf("reading.summarize"));
        QCOMPARE(aiPayload(ring.items[3]).targetLanguage,
                 std::optional<QString>(QStringLiteral("Portuguese")));
        QVERIFY(!allIDs(rings).intersects(
            allIDs(defaultContextRings(QStringLiteral("Portuguese"), browser))));
    }

    void starterItems()
    {
        const QList<RingItem> items = vima::starterItems(3, QStringLiteral("Dutch"));
        QCOMPARE(titles(items),
                 (QStringList{"Rewrite", "Summarize", "Translate", "Explain", "Custom"}));
        QCOMPARE(slots(items), range(3, 5));

        struct Expected {
            const char *symbol;
            QString prompt;
            ResultHandling handling;
            bool strong;
        };
        const QList<Expected> expected{
            {"wand.and.sparkles", promptOf("writing.rewrite"), ResultHandling::replaceSelection,
             false},
            {"text.line.first.and.arrowtriangle.forward", promptOf("reading.summarize"),
             ResultHandling::showPopover, true},
            {"character.bubble", promptOf("language.translate"), ResultHandling::replaceSelection,
             false},
            {"lightbulb", promptOf("reading.explain-simply"), ResultHandling::showPopover, true},
            {"slider.horizontal.3",
             "Respond to the user's text however is most useful. Reply with the result only.",
             ResultHandling::showPopover, false},
        };
        QSet<QUuid> ids;
        for (qsizetype i = 0; i < items.size(); ++i) {
            const AIPayload &payload = aiPayload(items[i]);
            QCOMPARE(items[i].icon, IconSpec::symbol(QString::fromLatin1(expected[i].symbol)));
            QCOMPARE(payload.systemPrompt, expected[i].prompt);
            QCOMPARE(payload.resultHandling, expected[i].handling);
            QCOMPARE(payload.needsStrongModel, expected[i].strong);
            QVERIFY(!payload.modelOverride);
            QCOMPARE(payload.targetLanguage,
                     i == 2 ? std::optional<QString>(QStringLiteral("Dutch")) : std::nullopt);
            ids.insert(items[i].id);
        }
        QCOMPARE(ids.size(), 5);
        QVERIFY(customItem(0).id != customItem(0).id);
    }
};

QTEST_GUILESS_MAIN(TestTemplates)
#include "tst_templates.moc"
