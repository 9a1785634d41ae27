#include "OnboardingFixture.h"
#include "onboarding/OnboardingModel.h"

#include <QTest>

using namespace vima;
using namespace vima::test;
using Action = OnboardingModel::Action;
using Page = OnboardingModel::Page;

namespace {

const RingTemplate &lastTemplate() { return RingTemplate::all().last(); }

// A default ring with items, and one without.
VimaConfig configWithPrimary(bool empty)
{
    VimaConfig config = sampleConfig();
    if (empty)
        config.rings.first().items.clear();
    return config;
}

} // namespace

class TestOnboardingModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void installsTheChosenTemplate_data()
    {
        QTest::addColumn<QString>("selected"); // empty: the starting choice
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("installed");
        const QString fallback = RingTemplate::defaultTemplate().id;
        QTest::newRow("starting choice") << QString() << Action::useSelectedTemplate << fallback;
        QTest::newRow("chosen card") << lastTemplate().id << Action::useSelectedTemplate << lastTemplate().id;
        QTest::newRow("skip ignores the card") << lastTemplate().id << Action::skip << fallback;
        QTest::newRow("unknown id") << "no-such-template" << Action::useSelectedTemplate << fallback;
    }

    void installsTheChosenTemplate()
    {
        QFETCH(QString, selected);
        QFETCH(Action, action);
        QFETCH(QString, installed);
        OnboardingFixture fixture;
        OnboardingModel model(fixture.context(), false);
        model.trigger(Action::next);
        if (!selected.isEmpty())
            model.selectTemplate(selected);
        model.trigger(action);

        const RingTemplate expected = *RingTemplate::templateWithID(installed);
        QCOMPARE(model.page(), Page::ready);
        QCOMPARE(model.installedTemplateName(), expected.name);
        QVERIFY(model.headerSentence().startsWith(QStringLiteral("Your %1 ring is installed. ").arg(expected.name)));
        QCOMPARE(fixture.primaryTitles(), fixture.madeTitles(expected));
        QCOMPARE(fixture.savedPrimaryTitles(), fixture.madeTitles(expected)); // saved at once
    }

    void backKeepsTheRingAndAnotherChoiceReplacesIt()
    {
        OnboardingFixture fixture;
        OnboardingModel model(fixture.context(), false);
        model.trigger(Action::next);
        model.selectTemplate(lastTemplate().id);
        model.trigger(Action::useSelectedTemplate);
        model.trigger(Action::back);
        QCOMPARE(model.page(), Page::ring);
        QCOMPARE(fixture.primaryTitles(), fixture.madeTitles(lastTemplate()));
        model.trigger(Action::back);
        model.trigger(Action::back); // nothing before the welcome page
        QCOMPARE(model.page(), Page::welcome);

        const RingTemplate &other = RingTemplate::all().at(1);
        model.trigger(Action::next);
        model.selectTemplate(other.id);
        model.trigger(Action::useSelectedTemplate);
        QCOMPARE(fixture.primaryTitles(), fixture.madeTitles(other));
        QCOMPARE(model.installedTemplateName(), other.name);
        QVERIFY(model.headerSentence().contains(other.name));
    }

    void asksBeforeReplacingOnlyWhenShownAgain_data()
    {
        QTest::addColumn<bool>("shownAgain");
        QTest::addColumn<bool>("emptyPrimary");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<int>("asked");
        QTest::addColumn<bool>("installed");
        QTest::newRow("first launch") << false << false << QList<bool>{} << 0 << true;
        QTest::newRow("again, Replace") << true << false << QList<bool>{true} << 1 << true;
        QTest::newRow("again, Cancel") << true << false << QList<bool>{false} << 1 << false;
        QTest::newRow("again, empty default ring") << true << true << QList<bool>{} << 0 << true;
    }

    void asksBeforeReplacingOnlyWhenShownAgain()
    {
        QFETCH(bool, shownAgain);
        QFETCH(bool, emptyPrimary);
        QFETCH(QList<bool>, answers);
        QFETCH(int, asked);
        QFETCH(bool, installed);
        OnboardingFixture fixture(configWithPrimary(emptyPrimary));
        fixture.prompts.confirmations = answers;
        const QStringList before = fixture.primaryTitles();
        const QByteArray fileBefore = readAll(fixture.harness.fixture.file());

        OnboardingModel model(fixture.context(), shownAgain);
        model.trigger(Action::next);
        model.selectTemplate(lastTemplate().id);
        model.trigger(Action::useSelectedTemplate);

        QCOMPARE(fixture.prompts.shown.size(), asked);
        QCOMPARE(model.page(), installed ? Page::ready : Page::ring);
        QCOMPARE(fixture.primaryTitles(), installed ? fixture.madeTitles(lastTemplate()) : before);
        if (!installed) {
            fixture.scheduler.advance(1);
            QCOMPARE(readAll(fixture.harness.fixture.file()), fileBefore);
            QCOMPARE(model.installedTemplateName(), std::nullopt);
        }
    }

    void tryRingClosesFirstThenTogglesTheRing_data()
    {
        QTest::addColumn<bool>("ringShown");
        QTest::newRow("ring hidden: opens") << false;
        QTest::newRow("ring shown: dismissed") << true;
    }

    void tryRingClosesFirstThenTogglesTheRing()
    {
        QFETCH(bool, ringShown);
        OnboardingFixture fixture;
        if (ringShown)
            fixture.ring.show(std::nullopt, true);
        OnboardingModel model(fixture.context(), false);
        QList<bool> ringAtClose;
        model.close = [&] { ringAtClose.append(fixture.ring.isVisible()); };

        model.trigger(Action::tryRing);
        QCOMPARE(ringAtClose, QList<bool>{ringShown});
        QCOMPARE(fixture.ring.isVisible(), !ringShown);
    }
};

QTEST_MAIN(TestOnboardingModel)
#include "tst_onboardingmodel.moc"
