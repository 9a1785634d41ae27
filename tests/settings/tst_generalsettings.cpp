#include "SettingsHarness.h"

#include "platform/fake/FakeDesktopOpener.h"
#include "settings/SettingsBanner.h"
#include "settings/SettingsWindow.h"
#include "settings/SettingsWindowController.h"
#include "settings/general/GeneralSettingsView.h"
#include "settings/general/HotkeyRecorderView.h"
#include "settings/kit/SegmentedControl.h"
#include "settings/kit/SettingsLooks.h"
#include "settings/kit/SlotCountRule.h"
#include "settings/kit/SliderRow.h"

#include <QAccessible>
#include <QCheckBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace vima;
using namespace vima::test;

namespace {

enum class Action { click, lastSegment, sliderToMaximum };

// A value at a dotted path of the configuration as written to the file.
QJsonValue at(const VimaConfig &config, const QString &path)
{
    QJsonValue value = QJsonDocument::fromJson(ConfigStore::encode(config)).object();
    for (const QString &key : path.split(QLatin1Char('.')))
        value = value.toObject().value(key);
    return value;
}

void perform(QWidget *control, Action action)
{
    switch (action) {
    case Action::click:
        qobject_cast<QCheckBox *>(control)->click();
        return;
    case Action::lastSegment:
        control->findChildren<QToolButton *>().constLast()->click();
        return;
    case Action::sliderToMaximum:
        qobject_cast<SliderRow *>(control)->slider()->triggerAction(QAbstractSlider::SliderToMaximum);
        return;
    }
}

// The primary page with `count` items; each of the first `packs` items opens a pack of its own.
VimaConfig withPrimaryItems(int count, const QStringList &packs = {})
{
    VimaConfig config;
    Ring primary = ring(QStringLiteral("Main"));
    for (int slot = 0; slot < count; ++slot) {
        if (slot < packs.size()) {
            Ring opened = pack(packs[slot], {shellItem(0)});
            primary.items.append(opener(slot, opened.id));
            config.rings.append(opened);
        } else {
            primary.items.append(shellItem(slot));
        }
    }
    config.rings.prepend(primary);
    return config;
}

QByteArray configWithVersion(qint64 version, quint64 flags = 0x80000, bool withRings = true)
{
    QJsonObject object = QJsonDocument::fromJson(ConfigStore::encode(sampleConfig())).object();
    object[QStringLiteral("version")] = version;
    QJsonObject hotkey = object[QStringLiteral("hotkey")].toObject();
    hotkey[QStringLiteral("modifierFlags")] = qint64(flags);
    object[QStringLiteral("hotkey")] = hotkey;
    if (!withRings)
        object.remove(QStringLiteral("rings"));
    return QJsonDocument(object).toJson();
}

} // namespace

class TestGeneralSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everySimpleBindingWritesItsField_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QJsonValue>("expected");
        QTest::newRow("long right-click") << "pointerTriggerEnabled" << Action::click << "pointerTrigger.enabled"
                                          << QJsonValue(true);
        QTest::newRow("hold delay") << "holdDelay" << Action::sliderToMaximum << "pointerTrigger.holdDelay"
                                    << QJsonValue(0.6);
        QTest::newRow("clipboard fallback") << "clipboardFallback" << Action::click
                                            << "selection.clipboardFallback" << QJsonValue(false);
        QTest::newRow("theme") << "theme" << Action::lastSegment << "appearance.theme" << QJsonValue("dark");
        QTest::newRow("slots") << "slotCount" << Action::lastSegment << "slotCount" << QJsonValue(12);
        QTest::newRow("ring size") << "sizeScale" << Action::sliderToMaximum << "appearance.sizeScale"
                                   << QJsonValue(1.6);
        QTest::newRow("inner radius") << "innerRadius" << Action::sliderToMaximum << "appearance.innerRadius"
                                      << QJsonValue(90);
        QTest::newRow("outer radius") << "outerRadius" << Action::sliderToMaximum << "appearance.outerRadius"
                                      << QJsonValue(240);
        QTest::newRow("animation") << "animationDuration" << Action::sliderToMaximum
                                   << "appearance.animationDuration" << QJsonValue(0.5);
        QTest::newRow("quick tap") << "stickyTapThreshold" << Action::sliderToMaximum
                                   << "appearance.stickyTapThreshold" << QJsonValue(0.8);
        QTest::newRow("pack hover") << "subRingDwell" << Action::sliderToMaximum << "appearance.subRingDwell"
                                    << QJsonValue(0.8);
        QTest::newRow("context-aware") << "contextAwareRings" << Action::click << "featureFlags.contextAwareRings"
                                       << QJsonValue(false);
    }

    void everySimpleBindingWritesItsField()
    {
        QFETCH(QString, name);
        QFETCH(Action, action);
        QFETCH(QString, path);
        QFETCH(QJsonValue, expected);
        SettingsHarness h;
        h.fixture.open(sampleConfig());
        const VimaConfig before = h.store().config();
        GeneralSettingsView view(h.context());
        const int idle = h.fixture.scheduler.pendingCount(); // the permission poll
        view.show();
        QVERIFY(at(before, path) != expected);
        QCOMPARE(h.store().config(), before); // showing wrote nothing
        QCOMPARE(h.fixture.scheduler.pendingCount(), idle);

        QWidget *control = view.findChild<QWidget *>(name);
        QVERIFY(control);
        QVERIFY(!QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty());
        perform(control, action);
        QCOMPARE(at(h.store().config(), path), expected);
        VimaConfig restored = h.store().config();
        restored.rings = before.rings; // the slot count re-fits the rings
        QJsonObject after = QJsonDocument::fromJson(ConfigStore::encode(restored)).object();
        QJsonObject original = QJsonDocument::fromJson(ConfigStore::encode(before)).object();
        QVERIFY(after != original);
        h.fixture.scheduler.advance(ConfigStore::saveDelay);
        QCOMPARE(at(ConfigStore::decode(readAll(h.fixture.file())), path), expected);
    }

    void sliderLabelsShowStoredValuesUntouched()
    {
        SettingsHarness h;
        VimaConfig config = sampleConfig();
        config.pointerTrigger.holdDelay = 0.3;
        config.appearance.innerRadius = 48.6;
        config.appearance.sizeScale = 1;
        config.appearance.outerRadius = 500; // beyond the slider
        config.appearance.subRingDwell = 0.01; // below it
        h.fixture.open(config);
        GeneralSettingsView view(h.context());
        const int idle = h.fixture.scheduler.pendingCount();
        view.show();
        const auto label = [&view](const char *name) { return view.findChild<SliderRow *>(name)->valueText(); };
        QCOMPARE(label("holdDelay"), QStringLiteral("0.30s"));
        QCOMPARE(label("innerRadius"), QStringLiteral("49pt"));
        QCOMPARE(label("sizeScale"), QStringLiteral("1.00×"));
        QCOMPARE(label("outerRadius"), QStringLiteral("500pt"));
        QCOMPARE(label("subRingDwell"), QStringLiteral("0.01s"));
        QCOMPARE(h.store().config(), config);
        QCOMPARE(h.fixture.scheduler.pendingCount(), idle);
    }

    void slotCountRefitsRingsOnlyOnARealChange()
    {
        SettingsHarness h;
        VimaConfig config = withPrimaryItems(6);
        config.rings.first().items.last().slot = 7;
        h.fixture.open(config);
        GeneralSettingsView view(h.context());
        view.show();
        const int idle = h.fixture.scheduler.pendingCount();
        auto *slots = view.findChild<SegmentedControl *>(QStringLiteral("slotCount"));
        QSignalSpy changed(&h.store(), &ConfigStore::configChanged);
        slots->findChildren<QToolButton *>().at(2)->click(); // 8, already chosen
        QCOMPARE(changed.size(), 0);
        QCOMPARE(h.fixture.scheduler.pendingCount(), idle);

        slots->findChildren<QToolButton *>().at(1)->click(); // 6
        QCOMPARE(h.store().config().slotCount, 6);
        QList<qint64> taken;
        for (const RingItem &item : h.store().config().rings.first().items)
            taken.append(item.slot);
        QCOMPARE(taken, (QList<qint64>{0, 1, 2, 3, 4, 5})); // slot 7 came back into sight
    }

    // As a ring's Slots menu refuses it, with the same words.
    void aSlotCountThatWouldHideItemsIsRefused()
    {
        SettingsHarness h;
        VimaConfig config = withPrimaryItems(6);
        Ring own = ring(QStringLiteral("Own count"), {shellItem(0), shellItem(1), shellItem(2), shellItem(3), shellItem(4)});
        own.slotCount = 12;
        config.rings.append(own);
        h.fixture.open(config);
        GeneralSettingsView view(h.context());
        view.show();
        auto *slots = view.findChild<SegmentedControl *>(QStringLiteral("slotCount"));
        slots->findChildren<QToolButton *>().at(0)->click(); // 4
        QCOMPARE(h.store().config(), config);
        QCOMPARE(slots->currentIndex(), 2);
        QCOMPARE(h.prompts.beeps, 1);
        QCOMPARE(h.prompts.shown.size(), 1);
        QCOMPARE(h.prompts.shown.first().informativeText, *SlotCountRule::refusal(config.rings.first(), 4));
        QVERIFY(h.prompts.shown.first().informativeText.contains(QStringLiteral("“Main” has 6 items")));
    }

    void replaceAlertCountsItemsAndNamesThePacksThatGo_data()
    {
        QTest::addColumn<VimaConfig>("config");
        QTest::addColumn<QString>("informative");
        QTest::newRow("no rings") << VimaConfig{}
                                  << "The 0 items currently in your default ring will be replaced. Packs and "
                                     "app-specific rings are not affected.";
        QTest::newRow("one item") << withPrimaryItems(1)
                                  << "The 1 item currently in your default ring will be replaced. Packs and "
                                     "app-specific rings are not affected.";
        QTest::newRow("three, two opening packs")
            << withPrimaryItems(3, {QStringLiteral("Writing"), QStringLiteral("Dev")})
            << "The 3 items currently in your default ring will be replaced, and the packs they open (Writing, Dev) "
               "removed. App-specific rings are not affected.";
        VimaConfig shared = withPrimaryItems(3, {QStringLiteral("Writing")});
        shared.rings.append(ring(QStringLiteral("Second page"), {opener(0, shared.rings[1].id)}));
        QTest::newRow("a pack another page opens too")
            << shared
            << "The 3 items currently in your default ring will be replaced. Packs and app-specific rings are not "
               "affected.";
    }

    void replaceAlertCountsItemsAndNamesThePacksThatGo()
    {
        QFETCH(VimaConfig, config);
        QFETCH(QString, informative);
        for (const bool confirm : {false, true}) {
            SettingsHarness h;
            h.fixture.open(config);
            h.prompts.confirmations = {confirm};
            GeneralSettingsModel model(h.context());
            model.setSelectedTemplateID(RingTemplate::all().constLast().id);
            QSet<QUuid> named;
            for (const Ring &pack : h.store().templateReplacement().removedPacks)
                named.insert(pack.id);
            model.replaceDefaultRing(nullptr);
            // What goes is what the alert names, and nothing else.
            QSet<QUuid> gone;
            for (const Ring &before : config.rings)
                gone.insert(before.id);
            for (const Ring &after : h.store().config().rings)
                gone.remove(after.id);
            QCOMPARE(gone, confirm ? named : QSet<QUuid>{});
            QCOMPARE(h.prompts.last()->message, QStringLiteral("Replace the default ring with the ") +
                                                    RingTemplate::all().constLast().name +
                                                    QStringLiteral(" template?"));
            QCOMPARE(h.prompts.last()->informativeText, informative);
            QCOMPARE(h.prompts.last()->buttons, (QStringList{"Replace", "Cancel"}));
            QCOMPARE(h.store().config() != config, confirm);
            QCOMPARE(model.selectedTemplateID(), RingTemplate::all().constLast().id);
        }
    }

    void importTakesWhatTheFileHolds_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error"); // empty: taken
        QTest::newRow("version 1") << configWithVersion(1) << QString();
        QTest::newRow("version 0") << configWithVersion(0) << QString();
        QTest::newRow("version -3") << configWithVersion(-3) << QString();
        QTest::newRow("control-option-space kept") << configWithVersion(1, 0xC0000) << QString();
        QTest::newRow("version 2") << configWithVersion(2)
                                   << "Import failed: This config was written by a newer version of Tavelon "
                                      "(format 2).";
        QTest::newRow("no rings") << configWithVersion(1, 0x80000, false) << "Import failed: ";
        QTest::newRow("not JSON") << QByteArray("{") << "Import failed: ";
    }

    void importTakesWhatTheFileHolds()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        SettingsHarness h;
        h.fixture.open(withPrimaryItems(2));
        const VimaConfig before = h.store().config();
        const QByteArray onDisk = readAll(h.fixture.file());
        const QString source = h.fixture.root.filePath(QStringLiteral("vima-config.json"));
        QVERIFY(writeAll(source, file));
        h.prompts.files = {source};
        GeneralSettingsModel model(h.context());
        model.importConfig(nullptr);
        if (error.isEmpty()) {
            QCOMPARE(model.importError(), std::nullopt);
            QCOMPARE(h.store().config(), VimaConfig::fromJson(QJsonDocument::fromJson(file).object()));
            // Written at once, the file it replaced kept beside it.
            QCOMPARE(ConfigStore::decode(readAll(h.fixture.file())), h.store().config());
            QCOMPARE(h.fixture.copiesAside().size(), 1);
            QCOMPARE(readAll(h.fixture.folder() + QLatin1Char('/') + h.fixture.copiesAside().first()), onDisk);
        } else {
            QVERIFY2(model.importError()->startsWith(error), qPrintable(*model.importError()));
            QCOMPARE(h.store().config(), before);
            QCOMPARE(readAll(h.fixture.file()), onDisk);
            QVERIFY(h.fixture.copiesAside().isEmpty());
        }
    }

    void exportFailureShowsUntilASuccess()
    {
        SettingsHarness h;
        GeneralSettingsModel model(h.context());
        h.prompts.files = {h.fixture.root.filePath(QStringLiteral("no/such/folder/vima-config.json")),
                           std::nullopt, h.fixture.root.filePath(QStringLiteral("vima-config.json"))};
        model.exportConfig(nullptr);
        QCOMPARE(h.prompts.last()->message, QStringLiteral("vima-config.json"));
        QVERIFY(model.importError()->startsWith(QStringLiteral("Export failed: ")));
        model.exportConfig(nullptr); // cancelled: the failure stays
        QVERIFY(model.importError());
        model.exportConfig(nullptr);
        QCOMPARE(model.importError(), std::nullopt);
        QCOMPARE(readAll(h.fixture.root.filePath(QStringLiteral("vima-config.json"))),
                 ConfigStore::encode(h.store().config()));
    }

    void revealSaysWhatIsMissing()
    {
        SettingsHarness h;
        FakeDesktopOpener opener;
        h.store().setDesktopOpener(&opener);
        GeneralSettingsModel model(h.context());
        model.revealConfig();
        QCOMPARE(opener.revealed, QStringList{h.fixture.file()});
        QCOMPARE(model.importError(), std::nullopt);
        opener.noFileManager = true;
        model.revealConfig();
        // In the tab, under the button, not in a window of its own.
        QCOMPARE(model.importError(),
                 QStringLiteral("Reveal needs a file manager: install nautilus, thunar, pcmanfm or dolphin."));
        QVERIFY(h.prompts.shown.isEmpty());
        opener.noFileManager = false;
        model.revealConfig();
        QCOMPARE(model.importError(), std::nullopt);
    }

    void resetAsksFirst()
    {
        SettingsHarness h;
        h.fixture.open(withPrimaryItems(3));
        GeneralSettingsModel model(h.context());
        const VimaConfig before = h.store().config();
        const QByteArray onDisk = readAll(h.fixture.file());
        h.prompts.confirmations = {false, true};
        model.confirmReset(nullptr);
        QCOMPARE(h.prompts.last()->message, QStringLiteral("Reset all settings?"));
        QCOMPARE(h.prompts.last()->buttons.first(), QStringLiteral("Reset"));
        QCOMPARE(h.store().config(), before);
        h.fixture.scheduler.advance(1);
        QCOMPARE(readAll(h.fixture.file()), onDisk);
        model.confirmReset(nullptr);
        VimaConfig defaults = ConfigStore::makeDefaultConfig();
        QCOMPARE(ConfigStore::decode(readAll(h.fixture.file())).rings.size(), defaults.rings.size());
        QCOMPARE(h.store().config().hotkey, HotkeySpec{});
    }

    void loginBoxShowsTheServiceAfterEveryAttempt()
    {
        SettingsHarness h;
        h.fixture.open(sampleConfig());
        h.loginItems.refusal = QStringLiteral("No autostart folder");
        GeneralSettingsView view(h.context());
        view.show();
        auto *box = view.findChild<QCheckBox *>(QStringLiteral("launchAtLogin"));
        for (int attempt = 1; attempt <= 2; ++attempt) { // the second failure publishes nothing new
            box->click();
            QCOMPARE(h.loginItems.registers, attempt);
            QVERIFY(!box->isChecked());
        }
        h.loginItems.refusal.reset();
        box->click();
        QVERIFY(box->isChecked());
        QCOMPARE(h.loginItems.unregisters, 0);
    }

    void sectionsFollowTheirState()
    {
        SettingsHarness h;
        VimaConfig config = sampleConfig();
        config.hotkey = {49, HotkeySpec::control | HotkeySpec::option};
        h.hotKeyProbe.heldElsewhere = {config.hotkey};
        config.rings.append(ring(QString(), {}, false, QStringLiteral("org.gnome.TextEditor")));
        h.fixture.open(config);
        GeneralSettingsView view(h.context());
        view.show(); // refreshes the login item
        GeneralSettingsModel &model = view.model();
        const auto *reservation = view.findChild<StatusLine *>(QStringLiteral("hotkeyReservation"));
        QVERIFY(reservation->isVisible());
        QCOMPARE(reservation->text(), QStringLiteral("Another program has grabbed Ctrl+Alt+Space."));
        // A refusal comes above the warning, not over it; on an active window,
        // where nothing lays the page out again by chance.
        QVERIFY(QTest::qWaitForWindowActive(&view));
        auto *recorder = view.findChild<HotkeyRecorderView *>();
        recorder->model()->toggleRecording();
        QTest::keyClick(recorder, Qt::Key_F13);
        QVERIFY(!recorder->model()->refusal().isEmpty());
        QTRY_VERIFY(recorder->geometry().bottom() < reservation->geometry().top());
        recorder->model()->stopRecording();
        QCOMPARE(model.appRingChips().size(), 1);
        QCOMPARE(model.appRingChips().first().name, QStringLiteral("Untitled"));

        auto *warning = view.findChild<StatusLine *>(QStringLiteral("accessibilityWarning"));
        QVERIFY(!warning->isVisible()); // the trigger is off
        view.findChild<QCheckBox *>(QStringLiteral("pointerTriggerEnabled"))->click();
        QVERIFY(warning->isVisible());
        QVariantList opened; // the warning's button leads to what is missing
        h.notifications.observe(QStringLiteral("com.vima.Vima.openSettings"),
                                [&opened](const QVariant &tab) { opened.append(tab); });
        view.findChild<QPushButton *>(QStringLiteral("openPermissions"))->click();
        QCOMPARE(opened, QVariantList{QStringLiteral("permissions")});
        h.accessibility.trusted = true;
        h.permissions->recheck();
        QVERIFY(!warning->isVisible());

        model.setSelectedTemplateID(QStringLiteral("no such template"));
        QVERIFY(!view.findChild<QWidget *>(QStringLiteral("replaceDefaultRing"))->isVisible());
    }

    void anUnreadableFileSurvivesEveryTab()
    {
        SettingsHarness h;
        const QByteArray unreadable("{\"version\": 1, \"rings\": [ oops");
        h.fixture.writeConfig(unreadable);
        h.fixture.open();
        SettingsWindowController controller(h.context());
        controller.show();
        QTabWidget *tabs = controller.window()->tabs();
        for (int index = 0; index < tabs->count(); ++index)
            tabs->setCurrentIndex(index);
        controller.window()->close();
        h.fixture.scheduler.advance(10);
        QCOMPARE(readAll(h.fixture.file()), unreadable);
        QVERIFY(h.fixture.copiesAside().isEmpty());
        QVERIFY(controller.window()->banner()->isVisibleTo(controller.window()));
    }
};

QTEST_MAIN(TestGeneralSettings)
#include "tst_generalsettings.moc"
