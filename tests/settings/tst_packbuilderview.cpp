#include "settings/packs/PackAddPanel.h"
#include "settings/packs/PackBuilderView.h"

#include "SettingsHarness.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QCoroTimer>
#include <QListWidget>
#include <QAbstractButton>
#include <QSignalSpy>
#include <QTest>

using namespace vima;
using namespace vima::test;

class TestPackBuilderView : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SettingsHarness> harness_;
    QUuid parentID_;

    static AppScan apps(QList<InstalledApp> list)
    {
        return [list]() -> QCoro::Task<QList<InstalledApp>> { co_return list; };
    }

private Q_SLOTS:
    void init()
    {
        harness_ = std::make_unique<SettingsHarness>();
        VimaConfig config;
        config.rings = {ring(QStringLiteral("Main"))};
        parentID_ = config.rings.first().id;
        harness_->fixture.open(config);
    }

    void escapeKeepsThePackAndReturnIsDone()
    {
        PackBuilderView view(harness_->context(), {parentID_, QStringLiteral("Main"), 2, {}}, apps({}));
        view.show();
        auto *name = view.findChild<QLineEdit *>(QStringLiteral("packName"));
        view.model().addItemOfKind(ItemAction::Kind::ai);
        QTest::keyClick(name, Qt::Key_Escape);
        QVERIFY(view.isVisible());
        QCOMPARE(view.model().items().size(), 1);
        QTest::keyClick(name, Qt::Key_Return);
        QVERIFY(!view.isVisible());
        QCOMPARE(view.result(), int(QDialog::Accepted));
        QCOMPARE(harness_->store().config().rings.first().items.first().slot, 2);
    }

    void anEmptyScanSaysSoAndTheNextVisitScansAgain()
    {
        int scans = 0;
        AppScan nothing = [&scans]() -> QCoro::Task<QList<InstalledApp>> {
            ++scans;
            QTimer later;
            later.setSingleShot(true);
            later.start(5);
            co_await later;
            co_return QList<InstalledApp>{};
        };
        PackBuilderView view(harness_->context(), {parentID_, QString(), 0, {}}, nothing);
        view.show();
        PackBuilderModel &model = view.model();
        model.openAddPanel();
        model.showAppsPage();
        auto *note = view.addPanel().findChild<QLabel *>(QStringLiteral("packAppsNote"));
        QCOMPARE(note->text(), QStringLiteral("Scanning applications…"));
        QTRY_VERIFY(!model.isScanning());
        QCOMPARE(note->text(), QStringLiteral("No applications found."));
        QVERIFY(note->isVisible());
        model.showRootPage();
        model.showAppsPage();
        QCOMPARE(scans, 2);
        QCOMPARE(note->text(), QStringLiteral("Scanning applications…"));
        QTRY_VERIFY(!model.isScanning());
    }

    void panelPagesKeepTheirSearchAndGoBack()
    {
        PackBuilderView view(harness_->context(), {parentID_, QString(), 0, {}}, apps({{"Gimp", "gimp", "/g"}, {"Xcode", "x", "/x"}}));
        view.show();
        PackBuilderModel &model = view.model();
        model.openAddPanel();
        model.showAppsPage();
        QTRY_COMPARE(model.installedApps().size(), 2);
        auto *search = view.addPanel().findChild<QLineEdit *>(QStringLiteral("packAppSearch"));
        QTest::keyClicks(search, QStringLiteral("gi"));
        auto *list = view.addPanel().findChild<QListWidget *>(QStringLiteral("packAppList"));
        QCOMPARE(list->count(), 1);
        model.setSelectedApp(model.filteredApps().first());
        QVERIFY(list->count() > 0); // the shortcuts
        for (auto *back : view.addPanel().findChildren<QAbstractButton *>()) {
            if (back->accessibleName() == QStringLiteral("Back") && back->isVisible()) {
                back->click();
                break;
            }
        }
        QCOMPARE(model.selectedApp(), std::nullopt);
        QCOMPARE(model.addPage(), PackBuilderModel::AddPage::apps);
        QCOMPARE(search->text(), QStringLiteral("gi"));
        model.closeAddPanel();
        model.openAddPanel();
        QCOMPARE(model.appQuery(), QStringLiteral("gi"));
        QCOMPARE(model.addPage(), PackBuilderModel::AddPage::root);

        // Filling the pack from the open library page disables its rows.
        model.setChildSlots(2);
        model.showLibraryPage();
        auto *library = view.addPanel().findChild<QListWidget *>(QStringLiteral("packLibraryList"));
        for (int i = 0; i < 2; ++i)
            model.addLibraryPreset(ActionPreset::all().at(i));
        for (int row = 0; row < library->count(); ++row)
            QVERIFY(!(library->item(row)->flags() & Qt::ItemIsEnabled));
    }
};

QTEST_MAIN(TestPackBuilderView)
#include "tst_packbuilderview.moc"
