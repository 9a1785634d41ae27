#include "platform/UiPrompts.h"
#include "settings/items/ItemEditorModel.h"

#include "StoreTestSupport.h"
#include "../support/Await.h"
#include "ItemEditorHost.h"
#include "platform/fake/FakeApplicationCatalog.h"

#include <QSignalSpy>
#include <QTest>

using namespace vima;
using namespace vima::test;
using Kind = ItemAction::Kind;

Q_DECLARE_METATYPE(vima::RingItem)
Q_DECLARE_METATYPE(vima::IconSpec)
Q_DECLARE_METATYPE(vima::ItemAction)
Q_DECLARE_METATYPE(vima::Ring)
Q_DECLARE_METATYPE(vima::ItemAction::Kind)

namespace {

RingItem item(const QString &title, const IconSpec &icon, const ItemAction &action, qint64 slot = 0)
{
    return {QUuid::createUuid(), title, icon, slot, action};
}

ItemAction launch(const std::optional<QString> &bundleID, const std::optional<QString> &path = {})
{
    return {LaunchAppPayload{bundleID, path}};
}

const IconSpec wand = IconSpec::symbol("wand.and.sparkles");
const IconSpec appSymbol = IconSpec::symbol("app");
const ChosenApplication editor{"Text Editor", "org.example.Editor", "/usr/share/applications/org.example.Editor.desktop"};

} // namespace

class TestItemEditorModel : public QObject {
    Q_OBJECT

private:
    FakeScheduler scheduler_;
    FakeApplicationCatalog catalog_{{oldEditor()}};

    static DesktopApp oldEditor()
    {
        DesktopApp app;
        app.bundleID = "org.example.Old";
        app.name = "My Editor";
        return app;
    }
    std::optional<ChosenApplication> answer_;
    int asked_ = 0;

    std::unique_ptr<ItemEditorModel> editorFor(const RingItem &shown)
    {
        auto model = std::make_unique<ItemEditorModel>(catalog_, scheduler_);
        model->chooseApplication = [this]() -> QCoro::Task<std::optional<ChosenApplication>> {
            ++asked_;
            co_return answer_;
        };
        model->setItem(shown);
        return model;
    }

private Q_SLOTS:
    void init()
    {
        answer_ = editor;
        asked_ = 0;
    }

    void kindSwitchReplacesOnlyDefaults_data()
    {
        QTest::addColumn<RingItem>("before");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<IconSpec>("icon");

        const ItemAction ai = ItemAction::defaultAction(Kind::ai);
        QTest::newRow("defaults follow") << item("AI Action", wand, ai) << Kind::shell << "Run Script"
                                         << IconSpec::symbol("terminal");
        QTest::newRow("own title and emoji stay")
            << item("Summarize", IconSpec::emoji("📝"), ai) << Kind::shell << "Summarize" << IconSpec::emoji("📝");
        QTest::newRow("add-menu title is a placeholder")
            << item("New AI Action on Selection", IconSpec::symbol("heart"), ai) << Kind::open << "Open"
            << IconSpec::symbol("heart");
        QTest::newRow("new item's title is not")
            << item("New AI Action", IconSpec::symbol("sparkles"), ai) << Kind::launchApp << "New AI Action"
            << appSymbol;
        QTest::newRow("blank title") << item("  ", IconSpec::appIcon("x"), ai) << Kind::appleScript
                                     << "Run AppleScript" << IconSpec::appIcon("x");
        QTest::newRow("to a pack") << item("More", IconSpec::symbol("circle.grid.cross"), launch({}))
                                   << Kind::openRing << "More" << IconSpec::symbol("circle.grid.cross");
        QTest::newRow("pack to app") << item("More", IconSpec::symbol("circle.grid.cross"),
                                             ItemAction::defaultAction(Kind::openRing))
                                     << Kind::launchApp << "Open App" << appSymbol;
    }

    void kindSwitchReplacesOnlyDefaults()
    {
        QFETCH(RingItem, before);
        QFETCH(Kind, kind);
        auto model = editorFor(before);
        QSignalSpy edits(model.get(), &ItemEditorModel::itemEdited);
        model->changeKind(kind);
        QCOMPARE(edits.size(), 1);
        const RingItem after = edits.first().first().value<RingItem>();
        QCOMPARE(after, model->item());
        QTEST(after.title, "title");
        QTEST(after.icon, "icon");
        QCOMPARE(after.action.kind(), kind);
        QCOMPARE(after.id, before.id);
        QCOMPARE(after.slot, before.slot);
        if (kind != Kind::openRing)
            QCOMPARE(after.action, ItemAction::defaultAction(kind));
    }

    void sameKindChangesNothing()
    {
        const ItemAction script{ShellPayload{"make", "/bin/bash", true}};
        auto model = editorFor(item("Build", IconSpec::symbol("bolt"), script));
        QSignalSpy edits(model.get(), &ItemEditorModel::itemEdited);
        model->changeKind(Kind::shell);
        QCOMPARE(edits.size(), 0);
        QCOMPARE(model->item().action, script);
    }

    void aKindSwitchedBackGetsItsPayloadBack_data()
    {
        QTest::addColumn<ItemAction>("original");
        QTest::addColumn<Kind>("away");
        QTest::newRow("script via AppleScript") << ItemAction(ShellPayload{"make", "/bin/bash", true}) << Kind::appleScript;
        QTest::newRow("system prompt via shell")
            << ItemAction(AIPayload{"Be terse.", ResultHandling::replaceSelection, QStringLiteral("German"), std::nullopt, true})
            << Kind::shell;
        QTest::newRow("target via app") << ItemAction(OpenPayload{"https://example.com"}) << Kind::launchApp;
    }

    void aKindSwitchedBackGetsItsPayloadBack()
    {
        QFETCH(ItemAction, original);
        QFETCH(Kind, away);
        auto model = editorFor(item("Mine", IconSpec::emoji("✨"), original));
        model->changeKind(away);
        QCOMPARE(model->item().action, ItemAction::defaultAction(away));
        model->changeKind(original.kind());
        QCOMPARE(model->item().action, original);

        // Another item ends the session: its switches start from defaults.
        RingItem other = item("Other", IconSpec::emoji("✨"), ItemAction::defaultAction(away));
        model->setItem(other);
        model->changeKind(original.kind());
        QCOMPARE(model->item().action, ItemAction::defaultAction(original.kind()));
    }

    void emojiKeepsTwoUserPerceivedCharacters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("three") << "😀😃😄" << "😀😃";
        QTest::newRow("skin tone") << "👍🏽😀" << "👍🏽😀";
        QTest::newRow("flags") << "🇪🇸🇫🇷🇩🇪" << "🇪🇸🇫🇷";
        QTest::newRow("joined") << "👨‍👩‍👧xy" << "👨‍👩‍👧x";
        QTest::newRow("empty") << "" << "";
    }

    void emojiKeepsTwoUserPerceivedCharacters()
    {
        QFETCH(QString, typed);
        auto model = editorFor(item("E", IconSpec::emoji("✨"), launch({})));
        QSignalSpy refreshes(model.get(), &ItemEditorModel::changed);
        model->setEmoji(typed);
        QTEST(model->item().icon.value, "stored");
        QCOMPARE(model->item().icon.kind, IconSpec::Kind::emoji);
        // The field shows the stored text again, even when nothing changed.
        QVERIFY(!refreshes.isEmpty());
    }

    void iconEditorRules()
    {
        auto model = editorFor(item("S", IconSpec::symbol("star"), launch({})));
        model->setSymbolName("  ");
        QCOMPARE(model->item().icon, IconSpec::symbol("  "));
        QVERIFY(model->showsUnknownSymbol());
        model->setSymbolName("");
        QVERIFY(!model->showsUnknownSymbol());
        model->setSymbolName("sparkles");
        QVERIFY(!model->showsUnknownSymbol());

        model->pickIconKind(IconSpec::Kind::emoji);
        QCOMPARE(model->item().icon, IconSpec::emoji("✨"));
        model->pickIconKind(IconSpec::Kind::appIcon);
        QCOMPARE(model->item().icon, IconSpec::appIcon(""));
        model->setIconBundleID("org.example.Editor");
        QSignalSpy edits(model.get(), &ItemEditorModel::itemEdited);
        model->pickIconKind(IconSpec::Kind::appIcon);
        QCOMPARE(edits.size(), 0);
    }

    void headerAndSlots_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("none") << "" << qint64(0) << "Untitled" << QStringList{};
        QTest::newRow("negative") << "  " << qint64(-3) << "  " << QStringList{};
        QTest::newRow("one") << "A" << qint64(1) << "A" << QStringList{"1 (top)"};
        QTest::newRow("three") << "A" << qint64(3) << "A" << QStringList{"1 (top)", "2", "3"};
        QStringList ringful{"1 (top)"};
        for (int slot = 2; slot <= Ring::maxSlotCount; ++slot)
            ringful << QString::number(slot);
        QTest::newRow("more than a ring shows") << "A" << qint64(1000000000) << "A" << ringful;
    }

    void headerAndSlots()
    {
        QFETCH(QString, title);
        QFETCH(qint64, count);
        auto model = editorFor(item(title, appSymbol, launch({})));
        model->setSlotCount(count);
        QTEST(model->headerTitle(), "header");
        QTEST(model->slotLabels(), "labels");
    }

    void slotPickAsksTheHostAndShowsTheItemsSlot()
    {
        auto model = editorFor(item("A", appSymbol, launch({}), 1));
        QList<qint64> asked;
        model->onAssignSlot = [&](qint64 slot) { asked << slot; };
        QSignalSpy edits(model.get(), &ItemEditorModel::itemEdited);
        QSignalSpy refreshes(model.get(), &ItemEditorModel::changed);
        model->assignSlot(2);
        QCOMPARE(asked, QList<qint64>{2});
        QCOMPARE(model->item().slot, 1);
        QCOMPARE(edits.size(), 0);
        QCOMPARE(refreshes.size(), 1);
    }

    void chooseIconApp_data()
    {
        QTest::addColumn<RingItem>("before");
        QTest::addColumn<QString>("title");
        QTest::addColumn<ItemAction>("action");

        const ItemAction script{AppleScriptPayload{"beep", false}};
        QTest::newRow("AppleScript: icon only") << item("Open App", appSymbol, script) << "Open App" << script;
        QTest::newRow("launch placeholder") << item("Open App", appSymbol, launch("a")) << "Text Editor"
                                            << launch("a");
        QTest::newRow("own title") << item("My Editor", IconSpec::appIcon("org.example.Other"), launch("a"))
                                   << "My Editor" << launch("a");
        QTest::newRow("name of the previous app")
            << item("My Editor", IconSpec::appIcon("org.example.Old"), launch("a")) << "Text Editor" << launch("a");
        QTest::newRow("left over from the add menu")
            << item("New AI Action", IconSpec::symbol("star"), launch({})) << "Text Editor" << launch({});
    }

    void chooseIconApp()
    {
        QFETCH(RingItem, before);
        auto model = editorFor(before);
        QSignalSpy edits(model.get(), &ItemEditorModel::itemEdited);
        await(model->chooseIconApp());
        QCOMPARE(edits.size(), 1);
        QCOMPARE(model->item().icon, IconSpec::appIcon(editor.bundleID));
        QTEST(model->item().title, "title");
        QTEST(model->item().action, "action");
    }

    void cancelledChooserChangesNothing()
    {
        answer_.reset();
        auto model = editorFor(item("Open App", appSymbol, launch("a")));
        const RingItem before = model->item();
        QSignalSpy edits(model.get(), &ItemEditorModel::itemEdited);
        await(model->chooseIconApp());
        await(model->chooseAppForLaunch());
        QCOMPARE(asked_, 2);
        QCOMPARE(edits.size(), 0);
        QCOMPARE(model->item(), before);
    }

    void chooseAppForLaunch_data()
    {
        QTest::addColumn<RingItem>("before");
        QTest::addColumn<QString>("title");
        QTest::addColumn<IconSpec>("icon");

        const auto fromOld = launch("org.example.Old", "/old");
        QTest::newRow("app symbol follows") << item("Open App", appSymbol, fromOld) << "Text Editor"
                                            << IconSpec::appIcon(editor.bundleID);
        QTest::newRow("emoji stays") << item("Mine", IconSpec::emoji("🦊"), fromOld) << "Mine"
                                     << IconSpec::emoji("🦊");
        QTest::newRow("previous app's icon and name follow")
            << item("My Editor", IconSpec::appIcon("org.example.Old"), fromOld) << "Text Editor"
            << IconSpec::appIcon(editor.bundleID);
        QTest::newRow("another app's icon stays")
            << item("Open App", IconSpec::appIcon("org.example.Third"), fromOld) << "Text Editor"
            << IconSpec::appIcon("org.example.Third");
        QTest::newRow("same app again")
            << item("Text Editor", IconSpec::appIcon(editor.bundleID), launch(editor.bundleID, "/moved"))
            << "Text Editor" << IconSpec::appIcon(editor.bundleID);
        QTest::newRow("no previous id") << item("Run", IconSpec::appIcon(""), launch({}, "/bin/app")) << "Run"
                                        << IconSpec::appIcon("");
    }

    void chooseAppForLaunch()
    {
        QFETCH(RingItem, before);
        auto model = editorFor(before);
        QSignalSpy edits(model.get(), &ItemEditorModel::itemEdited);
        await(model->chooseAppForLaunch());
        QCOMPARE(edits.size(), 1);
        QCOMPARE(model->item().action, launch(editor.bundleID, editor.path));
        QTEST(model->item().title, "title");
        QTEST(model->item().icon, "icon");
    }

    void optionalFieldsAreAbsentOnlyWhenEmpty()
    {
        auto model = editorFor(item("AI", wand, ItemAction::defaultAction(Kind::ai)));
        model->setTargetLanguage(" ");
        model->setModelOverride(" gpt-4o ");
        AIPayload ai = std::get<AIPayload>(model->item().action.payload);
        QCOMPARE(ai.targetLanguage, std::optional<QString>(" "));
        QCOMPARE(ai.modelOverride, std::optional<QString>(" gpt-4o "));
        model->setTargetLanguage("");
        model->setModelOverride("");
        model->setSystemPrompt("");
        ai = std::get<AIPayload>(model->item().action.payload);
        QCOMPARE(ai.targetLanguage, std::nullopt);
        QCOMPARE(ai.modelOverride, std::nullopt);
        QCOMPARE(ai.systemPrompt, "");

        model->changeKind(Kind::launchApp);
        QVERIFY(!model->canTurnIntoPack());
        model->setLaunchBundleID("org.example.Editor");
        QVERIFY(model->canTurnIntoPack());
        model->setLaunchBundleID("");
        QCOMPARE(model->item().action, launch({}));
        model->setLaunchPath("/opt/app");
        QVERIFY(model->canTurnIntoPack());

        model->changeKind(Kind::shell);
        model->setShell("");
        QCOMPARE(std::get<ShellPayload>(model->item().action.payload).shell, "");
    }

    void packSection_data()
    {
        QTest::addColumn<QList<Ring>>("packs");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("count");
        Ring named = pack("Writing", {shellItem(0)});
        Ring empty = pack("", {});
        named.id = empty.id = QUuid();
        const Ring other = pack("Other", {shellItem(0), shellItem(1), shellItem(2)});
        QTest::newRow("one item") << QList<Ring>{other, named} << true << "Writing" << "1 item";
        QTest::newRow("empty and unnamed") << QList<Ring>{empty} << true << "Untitled" << "0 items";
        QTest::newRow("missing") << QList<Ring>{other} << false << "" << "";
        QTest::newRow("no packs") << QList<Ring>{} << false << "" << "";
    }

    void packSection()
    {
        QFETCH(QList<Ring>, packs);
        auto model = editorFor(item("More", IconSpec::emoji("📦"), ItemAction{OpenRingPayload{QUuid()}}));
        model->setSubRings(packs);
        const ItemEditorModel::PackInfo info = model->packInfo();
        QTEST(info.exists, "exists");
        QTEST(info.name, "name");
        QTEST(info.itemCount, "count");

        QList<std::pair<QUuid, IconSpec>> saved;
        model->onSaveAsTemplate = [&](const QUuid &id, const IconSpec &icon) { saved.append({id, icon}); };
        model->saveAsPack();
        QCOMPARE(saved.size(), info.exists ? 1 : 0);
        QCOMPARE(model->didSaveTemplate(), info.exists);
        if (info.exists)
            QCOMPARE(saved.first(), std::pair(QUuid(), IconSpec::emoji("📦")));
    }

    void savedConfirmationHidesTwoSecondsAfterTheFirstPress()
    {
        Ring target = pack("Writing");
        auto model = editorFor(item("More", IconSpec::emoji("📦"), ItemAction{OpenRingPayload{target.id}}));
        model->setSubRings({target});
        // Without a callback the confirmation still shows.
        model->saveAsPack();
        scheduler_.advance(1.5);
        model->saveAsPack();
        QVERIFY(model->didSaveTemplate());
        scheduler_.advance(0.5);
        QVERIFY(!model->didSaveTemplate());
        scheduler_.advance(1.5);
        QVERIFY(!model->didSaveTemplate());
        model->saveAsPack();
        model.reset();
        scheduler_.runAll(); // a timer of a gone editor does nothing
    }

    void keystrokesReachTheStoreAcrossAHostSlotMove()
    {
        StoreFixture fixture;
        VimaConfig config;
        const RingItem script = shellItem(0, "Build");
        config.rings = {ring("Main", {script, shellItem(1, "Other")})};
        ConfigStore &store = fixture.open(config);
        auto model = editorFor(store.config().rings.first().items.first());
        ItemEditorHost host(store, *model, store.config().rings.first().id, script.id);

        QString typed;
        for (const QChar c : QStringLiteral("make all")) {
            typed += c;
            model->setScript(typed);
            if (typed == "make")
                model->assignSlot(1); // the host swaps the two items
        }
        QCOMPARE(host.writes, typed.size());
        QCOMPARE(host.stored().slot, 1);
        QCOMPARE(std::get<ShellPayload>(host.stored().action.payload).script, "make all");
        QCOMPARE(model->item(), host.stored());
        fixture.scheduler.runAll();
        QCOMPARE(ConfigStore::decode(readAll(fixture.file())), store.config());
    }
};

QTEST_GUILESS_MAIN(TestItemEditorModel)
#include "tst_itemeditormodel.moc"
