#include "OnboardingFixture.h"
#include "onboarding/OnboardingModel.h"
#include "onboarding/OnboardingWindow.h"
#include "onboarding/OnboardingWindowController.h"
#include "onboarding/TemplateCard.h"
#include "services/HotkeyManager.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTest>

using namespace vima;
using namespace vima::test;
using Page = OnboardingModel::Page;
Q_DECLARE_METATYPE(vima::PermissionsService::Trust)

namespace {

QStringList footerTitles(const OnboardingWindow &window)
{
    QStringList titles;
    for (auto *button : window.findChild<QWidget *>(QStringLiteral("footer"))->findChildren<QPushButton *>())
        if (button->isVisibleTo(&window))
            titles.append(button->text());
    return titles;
}

QPushButton *visibleButton(const QWidget &window, const QString &title)
{
    for (auto *button : window.findChildren<QPushButton *>())
        if (button->text() == title && button->isVisibleTo(&window))
            return button;
    return nullptr;
}

void closeAndCollect(QWidget *window)
{
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A controller over the fixture, its window shown and active.
struct Shown {
    OnboardingFixture fixture;
    OnboardingWindowController controller{fixture.context()};

    explicit Shown(bool isFirstLaunch = true, const std::optional<VimaConfig> &config = {}) : fixture(config)
    {
        controller.show(isFirstLaunch);
    }
    OnboardingWindow &window() const { return *controller.window(); }
    OnboardingModel &model() const { return window().model(); }
    void key(Qt::Key key)
    {
        QWidget *target = QApplication::focusWidget();
        QTest::keyClick(target && target->window() == &window() ? target : &window(), key);
    }
    void reach(Page page)
    {
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        if (page != Page::welcome)
            key(Qt::Key_Return);
        if (page == Page::ready)
            key(Qt::Key_Return);
        QCOMPARE(model().page(), page);
    }
};

} // namespace

class TestOnboardingWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showRaisesTheOpenWindowAndACloseStartsAgain()
    {
        Shown shown;
        QPointer<OnboardingWindow> first = shown.controller.window();
        shown.reach(Page::ring);
        shown.model().selectTemplate(RingTemplate::all().last().id);
        shown.controller.show(true);
        QCOMPARE(shown.controller.window(), first.data());
        QCOMPARE(shown.model().page(), Page::ring);

        closeAndCollect(first);
        QVERIFY(!first);
        QVERIFY(!shown.controller.window());
        shown.controller.show(true);
        QCOMPARE(shown.model().page(), Page::welcome);
        QCOMPARE(shown.model().selectedTemplateID(), RingTemplate::defaultTemplate().id);
    }

    void returnAndEscape_data()
    {
        QTest::addColumn<Page>("page");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<QList<Qt::Key>>("keys");
        QTest::addColumn<Page>("pageAfter");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("ringShown");
        QTest::addColumn<QString>("installed"); // the template's name, empty for none
        const QList<RingTemplate> &templates = RingTemplate::all();
        const QString everyday = RingTemplate::defaultTemplate().name;
        const auto everydayAt = std::find_if(templates.begin(), templates.end(),
                                             [&](const RingTemplate &t) { return t.name == everyday; });
        const QString rightOfEveryday = std::next(everydayAt)->name;
        using Keys = QList<Qt::Key>;
        QTest::newRow("welcome, Return") << Page::welcome << true << Keys{Qt::Key_Return} << Page::ring << false << false << QString();
        QTest::newRow("welcome, Escape") << Page::welcome << true << Keys{Qt::Key_Escape} << Page::welcome << false << false << QString();
        QTest::newRow("ring, Enter") << Page::ring << true << Keys{Qt::Key_Enter} << Page::ready << false << false << everyday;
        QTest::newRow("ring, Right, Return") << Page::ring << true << Keys{Qt::Key_Right, Qt::Key_Return} << Page::ready
                                             << false << false << rightOfEveryday;
        QTest::newRow("ring, Escape") << Page::ring << true << Keys{Qt::Key_Escape} << Page::ring << false << false << QString();
        QTest::newRow("ready, Return") << Page::ready << true << Keys{Qt::Key_Return} << Page::ready << true << true << everyday;
        QTest::newRow("ready, no XTest, Return") << Page::ready << false << Keys{Qt::Key_Return} << Page::ready << true << true << everyday;
        QTest::newRow("ready, Escape") << Page::ready << false << Keys{Qt::Key_Escape} << Page::ready << true << false << everyday;
    }

    void returnAndEscape()
    {
        QFETCH(Page, page);
        QFETCH(bool, trusted);
        QFETCH(QList<Qt::Key>, keys);
        QFETCH(Page, pageAfter);
        QFETCH(bool, closed);
        QFETCH(bool, ringShown);
        QFETCH(QString, installed);
        Shown shown;
        shown.fixture.permission.trusted = trusted;
        shown.reach(page);
        QPointer<OnboardingWindow> window = shown.controller.window();
        for (const Qt::Key key : keys)
            shown.key(key);
        QCOMPARE(window->isVisible(), !closed);
        QCOMPARE(shown.controller.window() == nullptr, closed);
        QCOMPARE(window->model().page(), pageAfter);
        QCOMPARE(shown.fixture.ring.isVisible(), ringShown);
        QCOMPARE(window->model().installedTemplateName().value_or(QString()), installed);
    }

    void ctrlWClosesOnEveryPage() // Escape leaves the first two pages open
    {
        for (const Page page : {Page::welcome, Page::ring, Page::ready}) {
            Shown shown;
            shown.reach(page);
            QPointer<OnboardingWindow> window = shown.controller.window();
            QVERIFY(QTest::qWaitForWindowActive(window));
            QTest::keyClick(window, Qt::Key_W, Qt::ControlModifier);
            QVERIFY(!window->isVisible());
            QVERIFY(!shown.controller.window());
            QVERIFY(!shown.fixture.ring.isVisible());
        }
    }

    void theReadyPageFollowsTheTrustLive()
    {
        Shown shown;
        shown.reach(Page::ready);
        const QStringList missing{"Back", "Done", "Try the Ring"};
        QCOMPARE(footerTitles(shown.window()), missing);
        QVERIFY(visibleButton(shown.window(), QStringLiteral("Check Again")));

        shown.fixture.permission.trusted = true;
        shown.fixture.scheduler.advance(PermissionsService::pollInterval);
        QCOMPARE(footerTitles(shown.window()), (QStringList{"Back", "Done", "Try It Now"}));
        QVERIFY(!visibleButton(shown.window(), QStringLiteral("Check Again")));

        // Lost while another page shows: the ready page reads it again when it comes back.
        shown.key(Qt::Key_Escape);
        shown.controller.show(true); // before the closed window is deleted
        QCOMPARE(shown.model().page(), Page::welcome);
        shown.fixture.permission.trusted = false;
        shown.reach(Page::ready);
        QCOMPARE(footerTitles(shown.window()), missing);
        QVERIFY(visibleButton(shown.window(), QStringLiteral("Check Again")));
    }

    // Without XTest the card says what is missing, and every button shown
    // does something: none only writes a log line. "Check Again" is there
    // only where the trust can change.
    void noButtonOnTheReadyPageIsDead_data()
    {
        QTest::addColumn<PermissionsService::Trust>("missing");
        QTest::addColumn<bool>("changes");
        QTest::addColumn<QString>("names");
        QTest::newRow("no XTest") << PermissionsService::Trust::noXTest << true << "no XTest extension";
        QTest::newRow("no XTest, fixed") << PermissionsService::Trust::noXTest << false << "no XTest extension";
        QTest::newRow("not X11, fixed") << PermissionsService::Trust::noX11Session << false << "not X11";
    }

    void noButtonOnTheReadyPageIsDead()
    {
        QFETCH(PermissionsService::Trust, missing);
        QFETCH(bool, changes);
        QFETCH(QString, names);
        QStringList titles;
        {
            Shown shown;
            shown.fixture.permission.missing = missing;
            shown.fixture.permission.changes = changes;
            shown.reach(Page::ready);
            const auto labels = shown.window().findChildren<QLabel *>();
            QVERIFY(std::any_of(labels.begin(), labels.end(), [&](QLabel *label) {
                return label->isVisibleTo(&shown.window()) && label->text().contains(names);
            }));
            for (auto *button : shown.window().findChildren<QPushButton *>())
                if (button->isVisibleTo(&shown.window()) && button->isEnabled())
                    titles.append(button->text());
        }
        QCOMPARE(titles.contains(QStringLiteral("Check Again")), changes);
        QCOMPARE(titles.size(), changes ? 4 : 3);
        for (const QString &title : titles) {
            Shown shown;
            shown.fixture.permission.missing = missing;
            shown.fixture.permission.changes = changes;
            shown.reach(Page::ready);
            const int reads = shown.fixture.permission.reads;
            QPointer<OnboardingWindow> window = shown.controller.window();
            visibleButton(*window, title)->click();
            const bool acted = !window || !window->isVisible() || window->model().page() != Page::ready
                || shown.fixture.ring.isVisible() || shown.fixture.permission.reads > reads;
            QVERIFY2(acted, qPrintable(title));
        }
    }

    // At the default font every page fits the window: nothing scrolls.
    void everyPageFitsTheWindow_data()
    {
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<bool>("hotkeyTaken");
        QTest::newRow("granted") << true << false;
        QTest::newRow("no XTest, hotkey taken") << false << true;
    }

    void everyPageFitsTheWindow()
    {
        QFETCH(bool, trusted);
        QFETCH(bool, hotkeyTaken);
        Shown shown;
        shown.fixture.permission.trusted = trusted;
        shown.fixture.harness.hotkeyFailure.setFailed(hotkeyTaken);
        for (const Page page : {Page::welcome, Page::ring, Page::ready}) {
            shown.reach(page);
            const auto *pages = shown.window().findChild<QStackedWidget *>(QString(), Qt::FindDirectChildrenOnly);
            const auto *area = qobject_cast<QScrollArea *>(pages->currentWidget());
            QVERIFY(area && area->isVisible());
            const QWidget *content = area->widget();
            const auto needed = [&] { return content->heightForWidth(area->viewport()->width()); };
            QTRY_VERIFY2(needed() <= area->viewport()->height(),
                         qPrintable(QStringLiteral("page %1 needs %2 of %3")
                                        .arg(int(page)).arg(needed()).arg(area->viewport()->height())));
            QVERIFY(!area->verticalScrollBar()->isVisible());
            shown.model().trigger(OnboardingModel::Action::back);
            shown.model().trigger(OnboardingModel::Action::back);
        }
    }

    void aHotkeyChangeReachesEveryText()
    {
        Shown shown;
        shown.reach(Page::ready);
        VimaConfig config = shown.fixture.store.config();
        const QString before = HotkeyManager::displayName(config.hotkey.keyCode, config.hotkey.modifierFlags);
        config.hotkey = HotkeySpec{40, HotkeySpec::command | HotkeySpec::shift};
        shown.fixture.store.setConfig(config);
        const QString after = HotkeyManager::displayName(40, HotkeySpec::command | HotkeySpec::shift);

        int naming = 0;
        for (auto *label : shown.window().findChildren<QLabel *>()) {
            QVERIFY2(!label->text().contains(before), qPrintable(label->text()));
            naming += label->text().contains(after);
        }
        QCOMPARE(naming, 4); // the shortcut, both how-to lines, the ready header
    }

    // A screen reader's or voice control's "Toggle" chooses as a click does;
    // toggling the chosen card again keeps it chosen.
    void anAccessibleToggleChoosesACard()
    {
        Shown shown;
        shown.reach(Page::ring);
        const auto cards = shown.window().findChildren<TemplateCard *>();
        const RingTemplate &chosen = RingTemplate::all().at(1);
        auto *card = *std::find_if(cards.begin(), cards.end(),
                                   [&](TemplateCard *c) { return c->templateID() == chosen.id; });
        for (int twice = 0; twice < 2; ++twice) {
            QAccessible::queryAccessibleInterface(card)->actionInterface()->doAction(
                QAccessibleActionInterface::toggleAction());
            QCOMPARE(shown.model().selectedTemplateID(), chosen.id);
            QCOMPARE(std::count_if(cards.begin(), cards.end(), [](TemplateCard *c) { return c->isChecked(); }), 1);
            QVERIFY(card->isChecked());
        }
    }

    void aCardClickMovesTheHighlightAndThePreview()
    {
        Shown shown;
        shown.reach(Page::ring);
        const auto cards = shown.window().findChildren<TemplateCard *>();
        QCOMPARE(cards.size(), RingTemplate::all().size());
        for (const RingTemplate &chosen : {RingTemplate::all().last(), RingTemplate::all().last()}) {
            auto *card = *std::find_if(cards.begin(), cards.end(),
                                       [&](TemplateCard *c) { return c->templateID() == chosen.id; });
            QTest::mouseClick(card, Qt::LeftButton);
            QCOMPARE(shown.model().selectedTemplateID(), chosen.id);
            QCOMPARE(std::count_if(cards.begin(), cards.end(), [](TemplateCard *c) { return c->isChecked(); }), 1);
            QVERIFY(card->isChecked());
            QStringList preview;
            for (auto *title : shown.window().findChildren<QWidget *>(QStringLiteral("previewTitle")))
                preview.append(title->accessibleName());
            QCOMPARE(preview, chosen.previewTitles());
        }
    }

    void aTakenHotkeyIsNamedUntilAnotherRegisters()
    {
        Shown shown;
        QVariantList opened;
        shown.fixture.harness.notifications.observe(QStringLiteral("com.vima.Vima.openSettings"),
                                            [&opened](const QVariant &tab) { opened.append(tab); });
        QVERIFY(!visibleButton(shown.window(), QStringLiteral("Open General Settings")));
        shown.fixture.harness.hotkeyFailure.setFailed(true);
        QPushButton *link = visibleButton(shown.window(), QStringLiteral("Open General Settings"));
        QVERIFY(link);
        link->click();
        QCOMPARE(opened, QVariantList{QStringLiteral("general")});
        shown.reach(Page::ready);
        QVERIFY(visibleButton(shown.window(), QStringLiteral("Open General Settings")));
        shown.fixture.harness.hotkeyFailure.setFailed(false);
        QVERIFY(!visibleButton(shown.window(), QStringLiteral("Open General Settings")));
    }

    void onlyARequestedWindowAsksBeforeReplacing_data()
    {
        QTest::addColumn<bool>("isFirstLaunch");
        QTest::addColumn<int>("asked");
        QTest::newRow("first launch") << true << 0;
        QTest::newRow("requested") << false << 1;
    }

    void onlyARequestedWindowAsksBeforeReplacing()
    {
        QFETCH(bool, isFirstLaunch);
        QFETCH(int, asked);
        Shown shown(isFirstLaunch, sampleConfig());
        shown.reach(Page::ring);
        shown.key(Qt::Key_Return);
        QCOMPARE(shown.fixture.prompts.shown.size(), asked);
    }
};

QTEST_MAIN(TestOnboardingWindow)
#include "tst_onboardingwindow.moc"
