#include "async/FakeScheduler.h"
#include "platform/fake/FakeAccessibilityPermission.h"
#include "services/HotkeyManager.h"
#include "services/PermissionsService.h"
#include "settings/ai/AIPrivacyDisclosure.h"
#include "settings/kit/DisclosureRow.h"
#include "settings/kit/SettingsLooks.h"
#include "settings/permissions/PermissionsModel.h"
#include "store/ConfigStore.h"

#include <QLabel>
#include <QLayout>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace vima;

Q_DECLARE_METATYPE(PermissionsModel::Button)

class TestPermissionsTab : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    FakeScheduler scheduler_;
    std::unique_ptr<ConfigStore> store_;
    FakeAccessibilityPermission permission_;

private Q_SLOTS:
    void init()
    {
        scheduler_ = FakeScheduler();
        permission_ = FakeAccessibilityPermission();
        store_ = std::make_unique<ConfigStore>(folder_.path(), scheduler_);
    }

    void states_data()
    {
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<bool>("pane");
        QTest::addColumn<QString>("state");
        QTest::addColumn<PermissionsModel::Button>("button");
        QTest::addColumn<bool>("guide");
        QTest::newRow("not granted") << false << true << "Not granted" << PermissionsModel::Button::enable << true;
        QTest::newRow("not granted, no pane")
            << false << false << "Not granted" << PermissionsModel::Button::enable << true;
        QTest::newRow("granted") << true << true << "Granted" << PermissionsModel::Button::openSettings << false;
        // Nothing to open on this system: no button that does nothing.
        QTest::newRow("granted, no pane") << true << false << "Granted" << PermissionsModel::Button::none << false;
    }

    void states()
    {
        QFETCH(bool, trusted);
        QFETCH(bool, pane);
        QFETCH(QString, state);
        QFETCH(PermissionsModel::Button, button);
        QFETCH(bool, guide);
        permission_.trusted = trusted;
        permission_.settingsPane = pane;
        PermissionsService permissions(permission_, scheduler_);
        PermissionsModel model(permissions, *store_);
        QCOMPARE(model.stateText(), state);
        QCOMPARE(model.button(), button);
        QCOMPARE(model.showsGuide(), guide);
    }

    void enableAsksThenOpensThePane()
    {
        PermissionsService permissions(permission_, scheduler_);
        PermissionsModel model(permissions, *store_);
        model.enable();
        QCOMPARE(permission_.prompts, 1);
        QCOMPARE(permission_.settingsOpened, 0);
        model.enable();
        QCOMPARE(permission_.prompts, 1);
        QCOMPARE(permission_.settingsOpened, 1);
    }

    void showingReadsTheGrantAgainQuietly()
    {
        PermissionsService permissions(permission_, scheduler_);
        PermissionsModel model(permissions, *store_);
        QSignalSpy changes(&model, &PermissionsModel::grantChanged);
        model.shown();
        QCOMPARE(changes.size(), 0);
        permission_.trusted = true; // granted while the tab was away, before the next poll
        model.shown();
        QCOMPARE(changes.size(), 1);
        QVERIFY(model.isGranted());
        QVERIFY(!model.showsGuide());
    }

    void hotkeyRowFollowsTheConfiguration()
    {
        PermissionsService permissions(permission_, scheduler_);
        PermissionsModel model(permissions, *store_);
        QSignalSpy changes(&model, &PermissionsModel::hotkeyChanged);
        const auto hotkeyDetail = [&] { return model.sections().at(1).rows.at(0).detail; };
        QVERIFY(hotkeyDetail().contains(HotkeyManager::displayName(49, HotkeySpec::option) + QLatin1Char(' ')));

        store_->edit([](VimaConfig &config) { config.hotkey = HotkeySpec{40, 0x60000}; });
        QCOMPARE(changes.size(), 1);
        QVERIFY(hotkeyDetail().startsWith(QStringLiteral("Tavelon grabs ") + HotkeyManager::displayName(40, 0x60000)
                                          + QStringLiteral(" with")));
        store_->edit([](VimaConfig &config) { config.slotCount = 6; });
        QCOMPARE(changes.size(), 1);
    }

    void unknownSymbolsShowAFilledCircle()
    {
        QCOMPARE(DisclosureRow::shownSymbol(QStringLiteral("no.such.symbol")), QStringLiteral("circle.fill"));
        QCOMPARE(DisclosureRow::shownSymbol(QStringLiteral("lock.shield")), QStringLiteral("lock.shield"));
        // Every row of both pages draws its own symbol, not the fallback.
        PermissionsService permissions(permission_, scheduler_);
        PermissionsModel model(permissions, *store_);
        QList<DisclosureText> rows = AIPrivacyDisclosure::rows(TextRoute{});
        for (const PermissionsModel::Section &section : model.sections())
            rows += section.rows;
        QCOMPARE(rows.size(), 7);
        for (const DisclosureText &row : rows)
            QCOMPARE(DisclosureRow::shownSymbol(row.symbol), row.symbol);
    }

    void rowsAreAsTallAsTheirTextsAndNoMore()
    {
        PermissionsService permissions(permission_, scheduler_);
        PermissionsModel model(permissions, *store_);
        SettingsSection section(QStringLiteral("What it's used for"));
        const QList<PermissionsModel::Section> sections = model.sections();
        for (const DisclosureText &text : sections.first().rows)
            section.addWidget(new DisclosureRow(text));
        section.resize(860, 600);
        section.show();
        QVERIFY(QTest::qWaitForWindowExposed(&section));
        const QList<DisclosureRow *> rows = section.findChildren<DisclosureRow *>();
        QCOMPARE(rows.size(), 2);
        for (DisclosureRow *row : rows) {
            int texts = row->layout()->contentsMargins().top() + row->layout()->contentsMargins().bottom();
            for (const QLabel *label : row->findChildren<QLabel *>())
                texts += label->height() + 2;
            QVERIFY2(row->height() <= texts, qPrintable(QStringLiteral("%1 > %2").arg(row->height()).arg(texts)));
        }
    }
};

QTEST_MAIN(TestPermissionsTab)
#include "tst_permissionstab.moc"
