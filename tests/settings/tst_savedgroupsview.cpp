#include "settings/packs/SavedGroupsModel.h"
#include "settings/packs/SavedGroupsView.h"

#include "../support/Await.h"
#include "SettingsHarness.h"

#include <QScrollArea>
#include <QTest>
#include <QToolButton>

using namespace vima;
using namespace vima::test;

namespace {

SavedGroup group(const QString &name, int items)
{
    SavedGroup saved{QUuid::createUuid(), name, IconSpec::symbol(QStringLiteral("folder")), {}, {}};
    for (int i = 0; i < items; ++i)
        saved.items.append(shellItem(i));
    return saved;
}

} // namespace

class TestSavedGroups : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SettingsHarness> harness_;

    void open(const QList<SavedGroup> &groups)
    {
        harness_ = std::make_unique<SettingsHarness>();
        VimaConfig config;
        config.savedGroups = groups;
        harness_->fixture.open(config);
    }

private Q_SLOTS:
    void rowsNameAndCountEachPack_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("items");
        QTest::addColumn<QString>("shownName");
        QTest::addColumn<QString>("count");
        QTest::newRow("none") << "Mail" << 0 << "Mail" << "0 items";
        QTest::newRow("one") << "Mail" << 1 << "Mail" << "1 item";
        QTest::newRow("two, no name") << "" << 2 << "Untitled" << "2 items";
        QTest::newRow("a 100 KB name, shown cut")
            << QString(100 * 1024, u'g') << 1 << QString(200, u'g') + QChar(0x2026) << "1 item";
    }
    void rowsNameAndCountEachPack()
    {
        QFETCH(QString, name);
        QFETCH(int, items);
        QFETCH(QString, shownName);
        QFETCH(QString, count);
        open({group(name, items)});
        SavedGroupsModel model(harness_->store(), harness_->prompts);
        QCOMPARE(model.rows().size(), 1);
        QCOMPARE(model.rows().first().name, shownName);
        QCOMPARE(model.rows().first().itemCount, count);
    }

    void deletionAsksAndOnlyDeleteDeletes_data()
    {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("Delete") << true;
        QTest::newRow("Cancel") << false;
    }
    void deletionAsksAndOnlyDeleteDeletes()
    {
        QFETCH(bool, confirmed);
        const SavedGroup unnamed = group(QString(), 1);
        open({unnamed, group(QStringLiteral("Keep"), 3)});
        const VimaConfig before = harness_->store().config();
        harness_->prompts.confirmations = {confirmed};
        SavedGroupsModel model(harness_->store(), harness_->prompts);
        await(model.confirmDelete(unnamed.id, nullptr));

        const FakeUiPrompts::Shown *asked = harness_->prompts.last();
        QVERIFY(asked);
        QCOMPARE(asked->message, QStringLiteral("Delete “Untitled”?"));
        QCOMPARE(asked->buttons, (QStringList{QStringLiteral("Delete"), QStringLiteral("Cancel")}));
        if (confirmed) {
            QCOMPARE(model.rows().size(), 1);
            QCOMPARE(model.rows().first().name, QStringLiteral("Keep"));
        } else {
            QCOMPARE(harness_->store().config(), before);
        }
    }

    void deletingTheLastPackShowsTheEmptyStateAndStaysOpen()
    {
        open({group(QStringLiteral("Only"), 1)});
        harness_->prompts.confirmations = {true};
        SavedGroupsView view(harness_->context());
        view.show();
        auto *list = view.findChild<QScrollArea *>(QStringLiteral("savedGroupsList"));
        QVERIFY(list->isVisible());
        list->findChild<QToolButton *>()->click();
        QTRY_VERIFY(!list->isVisible());
        QVERIFY(view.isVisible());
        QVERIFY(harness_->store().config().savedGroups.isEmpty());
    }
};

QTEST_MAIN(TestSavedGroups)
#include "tst_savedgroupsview.moc"
