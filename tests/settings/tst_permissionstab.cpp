#include "SettingsHarness.h"
#include "async/FakeScheduler.h"
#include "platform/fake/FakeAccessibilityPermission.h"
#include "services/HotkeyManager.h"
#include "services/PermissionsService.h"
#include "settings/ai/AIPrivacyDisclosure.h"
#include "settings/kit/DisclosureRow.h"
#include "settings/kit/SettingsLooks.h"
#include "settings/permissions/PermissionsModel.h"
#include "settings/permissions/PermissionsPage.h"
#include "store/ConfigStore.h"

#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace vima;
using namespace vima::test;

Q_DECLARE_METATYPE(PermissionsService::Trust)

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
        QTest::addColumn<PermissionsService::Trust>("missing");
        QTest::addColumn<bool>("changes");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("names");
        QTest::newRow("granted") << true << PermissionsService::Trust::noXTest << true << "Granted" << "";
        QTest::newRow("no XTest") << false << PermissionsService::Trust::noXTest << true << "Not available" << "XTest";
        QTest::newRow("no XTest, fixed") << false << PermissionsService::Trust::noXTest << false << "Not available"
                                         << "XTest";
        QTest::newRow("not X11, fixed") << false << PermissionsService::Trust::noX11Session << false
                                        << "Not available" << "not X11";
    }

    // The page says what is missing; its one button asks again, and only
    // where the answer can change.
    void states()
    {
        QFETCH(bool, trusted);
        QFETCH(PermissionsService::Trust, missing);
        QFETCH(bool, changes);
        QFETCH(QString, state);
        QFETCH(QString, names);
        SettingsHarness harness;
        harness.fixture.open();
        harness.accessibility.trusted = trusted;
        harness.accessibility.missing = missing;
        harness.accessibility.changes = changes;
        PermissionsPage page(harness.context());
        page.show();
        QCOMPARE(page.model().stateText(), state);
        auto *missingText = page.findChild<QLabel *>(QStringLiteral("missing"));
        QCOMPARE(missingText->isVisible(), !trusted);
        QCOMPARE(missingText->text().isEmpty(), trusted);
        QVERIFY(missingText->text().contains(names));
        QCOMPARE(page.checkAgainButton()->isVisible(), !trusted && changes);
        for (QPushButton *button : page.findChildren<QPushButton *>())
            QVERIFY2(!button->isVisible() || button == page.checkAgainButton(), qPrintable(button->text()));
        if (trusted || !changes)
            return;

        const int reads = harness.accessibility.reads;
        page.checkAgainButton()->click();
        QCOMPARE(harness.accessibility.reads, reads + 1);
        harness.accessibility.trusted = true;
        page.checkAgainButton()->click();
        QVERIFY(!page.checkAgainButton()->isVisible());
        QVERIFY(!missingText->isVisible());
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
