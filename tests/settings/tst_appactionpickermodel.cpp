#include "settings/items/AppActionPickerModel.h"

#include "StoreTestSupport.h"

#include <QTest>

using namespace vima;
using namespace vima::test;

class TestAppActionPickerModel : public QObject {
    Q_OBJECT

private:
    StoreFixture fixture_;
    RingItem app_;
    QUuid ringID_;
    std::optional<RingItem> created_;
    int calls_ = 0;

    std::unique_ptr<AppActionPickerModel> picker(const QUuid &itemID)
    {
        auto model = std::make_unique<AppActionPickerModel>(
            *fixture_.store, AppActionPickerModel::Target{ringID_, itemID, "org.example.Editor", "Editor",
                                                          IconSpec::appIcon("org.example.Editor")});
        model->onCreated = [this](const RingItem &item) {
            ++calls_;
            created_ = item;
        };
        model->loadCandidates();
        return model;
    }

    Ring packOfCreated() const
    {
        const auto id = std::get<OpenRingPayload>(created_->action.payload).ringID;
        return *fixture_.store->config().ringWithID(id);
    }

private Q_SLOTS:
    void init()
    {
        app_ = {QUuid::createUuid(), "Editor", IconSpec::symbol("app"), 2,
                ItemAction{LaunchAppPayload{"org.example.Editor", {}}}};
        VimaConfig config;
        config.rings = {ring("Main", {app_})};
        ringID_ = config.rings.first().id;
        fixture_.open(config);
        created_.reset();
        calls_ = 0;
    }

    void ticksAreAppliedInListOrder()
    {
        auto model = picker(app_.id);
        const QList<RingItem> candidates = model->candidates();
        QVERIFY(candidates.size() >= 3);
        QCOMPARE(model->selectedCount(), candidates.size());
        // Untick all, then tick the third and the first, in that order.
        for (const RingItem &candidate : candidates)
            model->toggle(candidate.id);
        model->toggle(candidates.at(2).id);
        model->toggle(candidates.at(0).id);
        QCOMPARE(model->selectedText(), "2 selected");
        model->createPack();

        QCOMPARE(calls_, 1);
        QCOMPARE(created_->slot, app_.slot);
        const QList<RingItem> items = packOfCreated().items;
        QCOMPARE(items.size(), 3);
        QCOMPARE(items.at(0).title, candidates.at(0).title);
        QCOMPARE(items.at(1).title, candidates.at(2).title);
    }

    void nothingTickedStillMakesThePack()
    {
        auto model = picker(app_.id);
        for (const RingItem &candidate : model->candidates())
            model->toggle(candidate.id);
        QCOMPARE(model->selectedText(), "0 selected");
        model->createPack();
        QCOMPARE(calls_, 1);
        const QList<RingItem> items = packOfCreated().items;
        QCOMPARE(items.size(), 1);
        QCOMPARE(items.first().action, app_.action);
    }

    void reopeningTicksEverythingAgain()
    {
        auto model = picker(app_.id);
        const QUuid first = model->candidates().first().id;
        model->toggle(first);
        QVERIFY(!model->isTicked(first));
        model->loadCandidates();
        QCOMPARE(model->selectedCount(), model->candidates().size());
    }

    void aVanishedItemMakesNothing()
    {
        auto model = picker(QUuid::createUuid());
        const VimaConfig before = fixture_.store->config();
        model->createPack();
        QCOMPARE(calls_, 0);
        QCOMPARE(fixture_.store->config(), before);
        QCOMPARE(fixture_.scheduler.pendingCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestAppActionPickerModel)
#include "tst_appactionpickermodel.moc"
