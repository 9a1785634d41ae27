#include "OnboardingFixture.h"
#include "SettingsHarness.h"

#include "onboarding/OnboardingModel.h"
#include "onboarding/OnboardingWindow.h"
#include "onboarding/OnboardingWindowController.h"
#include "settings/SettingsWindow.h"
#include "settings/SettingsWindowController.h"
#include "settings/ai/AISettingsModel.h"
#include "settings/items/AddItemChooser.h"
#include "settings/items/ApplicationChooser.h"
#include "settings/items/ItemsSettingsModel.h"
#include "settings/items/ItemsSettingsView.h"
#include "settings/items/ItemsSheetPresenter.h"
#include "settings/kit/SegmentedControl.h"
#include "settings/packs/PackAddPanel.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace vima;
using namespace vima::test;

namespace {

using Kind = ItemsSettingsModel::ActiveSheet::Kind;

RingItem item(qint64 slot, const QString &title, ItemAction action)
{
    return {QUuid::createUuid(), title, IconSpec::symbol(QStringLiteral("star")), slot, std::move(action)};
}

// A page holding one item of every kind, and a pack.
VimaConfig everyKind()
{
    VimaConfig config = sampleConfig();
    Ring &main = config.rings.first();
    main.items = {
        item(0, QStringLiteral("Files"), ItemAction{LaunchAppPayload{QStringLiteral("org.gnome.Nautilus"), {}}}),
        item(1, QStringLiteral("Site"), ItemAction{OpenPayload{QStringLiteral("https://example.com")}}),
        item(2, QStringLiteral("Build"), ItemAction{ShellPayload{QStringLiteral("make"), QStringLiteral("/bin/sh"), false}}),
        item(3, QStringLiteral("Beep"), ItemAction{AppleScriptPayload{QStringLiteral("beep"), false}}),
        item(4, QStringLiteral("Tidy"), ItemAction{AIPayload{QStringLiteral("Tidy this."), ResultHandling::showPopover, {}, {}, false}}),
        opener(5, config.rings.at(1).id),
    };
    return config;
}

// Controls that are part of another (a spin box's line edit) answer for it.
bool isPartOfAnother(const QWidget *widget, const QWidget *root)
{
    for (const QWidget *up = widget->parentWidget(); up && up != root; up = up->parentWidget())
        if (qobject_cast<const QComboBox *>(up) || qobject_cast<const QAbstractSpinBox *>(up))
            return true;
    return false;
}

QString nameOf(QWidget *widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// What a control holds, as its value would be read out.
QString valueOf(QWidget *widget)
{
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return combo->currentText();
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(widget))
        return spin->text();
    if (auto *slider = qobject_cast<QAbstractSlider *>(widget))
        return QString::number(slider->value());
    if (auto *field = qobject_cast<QLineEdit *>(widget))
        return field->text();
    if (auto *editor = qobject_cast<QPlainTextEdit *>(widget))
        return editor->toPlainText();
    if (auto *list = qobject_cast<QAbstractItemView *>(widget))
        return list->currentIndex().data().toString();
    return {};
}

QString describe(QWidget *widget, const QString &name)
{
    return QStringLiteral("%1 %2 \"%3\"")
        .arg(QLatin1String(widget->metaObject()->className()), widget->objectName(), name);
}

// Every control on screen under `root` that the keyboard reaches, with a
// fault for each one without a name of its own.
QStringList namelessControls(QWidget *root)
{
    QStringList faults;
    QList<QWidget *> all = root->findChildren<QWidget *>();
    all.prepend(root);
    for (QWidget *widget : all) {
        if (widget->focusPolicy() == Qt::NoFocus || widget->focusProxy() || !widget->isVisibleTo(root)
            || isPartOfAnother(widget, root))
            continue;
        const QString name = nameOf(widget);
        if (name.trimmed().isEmpty() || name == valueOf(widget))
            faults << describe(widget, name);
        // A segment is announced within its row, a group named by the row's label.
        if (auto *group = qobject_cast<SegmentedControl *>(widget->parentWidget());
            group && (nameOf(group).isEmpty() || QAccessible::queryAccessibleInterface(group)->role() != QAccessible::Grouping))
            faults << describe(group, nameOf(group)) + QStringLiteral(" around ") + describe(widget, name);
    }
    faults.removeDuplicates();
    return faults;
}

} // namespace

// Each control a person reaches from the keyboard is announced by what it is
// for (its label), never only by what it holds.
class TestAccessibleNames : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void settingsControls_data()
    {
        QTest::addColumn<QString>("tab");
        QTest::addColumn<int>("item");  // Items tab: the item selected; -1: none
        QTest::addColumn<int>("sheet"); // Items tab: the sheet open; -1: none
        QTest::addColumn<QString>("then"); // a popup opened last
        QTest::addColumn<QString>("aiMode");
        QTest::addColumn<int>("provider");
        for (int item = 0; item < 6; ++item)
            QTest::addRow("items, item %d", item) << "items" << item << -1 << "" << "" << 0;
        QTest::addRow("items, add-item chooser") << "items" << -1 << -1 << "addChooser" << "" << 0;
        QTest::addRow("items, application chooser") << "items" << -1 << -1 << "appChooser" << "" << 0;
        QTest::addRow("items, pack builder") << "items" << -1 << int(Kind::buildPack) << "" << "" << 0;
        QTest::addRow("items, pack add panel") << "items" << -1 << int(Kind::buildPack) << "addPanel" << "" << 0;
        QTest::addRow("items, library") << "items" << -1 << int(Kind::library) << "" << "" << 0;
        QTest::addRow("items, saved packs") << "items" << -1 << int(Kind::templates) << "" << "" << 0;
        QTest::addRow("items, app actions") << "items" << 0 << int(Kind::appActions) << "" << "" << 0;
        QTest::addRow("general") << "general" << -1 << -1 << "" << "" << 0;
        QTest::addRow("permissions") << "permissions" << -1 << -1 << "" << "" << 0;
        for (const LLMProviderKind provider : {LLMProviderKind::appleOnDevice, LLMProviderKind::anthropic,
                                               LLMProviderKind::openai, LLMProviderKind::ollama}) {
            QTest::addRow("ai simple, %d", int(provider)) << "ai" << -1 << -1 << "" << "simple" << int(provider);
            QTest::addRow("ai advanced, %d", int(provider)) << "ai" << -1 << -1 << "" << "advanced" << int(provider);
        }
    }

    void settingsControls()
    {
        QFETCH(QString, tab);
        QFETCH(int, item);
        QFETCH(int, sheet);
        QFETCH(QString, then);
        QFETCH(QString, aiMode);
        QFETCH(int, provider);
        SettingsHarness h;
        VimaConfig config = everyKind();
        config.ai.provider = static_cast<LLMProviderKind>(provider);
        h.fixture.open(config);
        h.userDefaults.setValue(AISettingsModel::modeKey, aiMode);
        SettingsWindowController controller(h.context());
        controller.show(settingsTabFromRawValue(tab));
        SettingsWindow *window = controller.window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QWidget *root = window;
        if (auto *items = window->findChild<ItemsSettingsView *>(); items && tab == QLatin1String("items")) {
            if (item >= 0)
                items->model().selectItem(config.rings.first().items.at(item).id);
            if (sheet >= 0) {
                items->model().requestSheet({static_cast<Kind>(sheet), 6});
                QTRY_VERIFY(items->sheets().currentSheet());
                root = items->sheets().currentSheet();
                QVERIFY(QTest::qWaitForWindowExposed(root));
            }
        }
        std::unique_ptr<QWidget> chooser;
        if (then == QLatin1String("addChooser")) {
            window->findChild<ItemsSettingsView *>()->model().setAddAtSlot(7);
            root = window->findChild<AddItemChooser *>();
        } else if (then == QLatin1String("addPanel")) {
            root->findChild<QPushButton *>(QStringLiteral("packAddAction"))->click();
            root = root->findChild<PackAddPanel *>();
        } else if (then == QLatin1String("appChooser")) {
            chooser = std::make_unique<ApplicationChooser>(h.context().sharedCatalog, &h.context().appIcons);
            root = chooser.get();
            root->show();
        }
        QVERIFY(root && root->isVisible());
        const QStringList faults = namelessControls(root);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("\n"))));
    }

    void firstRunControls_data()
    {
        QTest::addColumn<int>("page");
        QTest::newRow("welcome") << int(OnboardingModel::Page::welcome);
        QTest::newRow("ring") << int(OnboardingModel::Page::ring);
        QTest::newRow("ready") << int(OnboardingModel::Page::ready);
    }

    void firstRunControls()
    {
        QFETCH(int, page);
        OnboardingFixture fixture;
        OnboardingWindowController controller(fixture.context());
        controller.show(true);
        OnboardingWindow *window = controller.window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        while (int(window->model().page()) < page)
            QTest::keyClick(window, Qt::Key_Return);
        QCOMPARE(int(window->model().page()), page);
        const QStringList faults = namelessControls(window);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("\n"))));
        for (QLabel *label : window->findChildren<QLabel *>()) // markup is for the eye only
            QVERIFY2(!nameOf(label).contains(QLatin1String("**")), qPrintable(nameOf(label)));
        window->close();
    }
};

QTEST_MAIN(TestAccessibleNames)
#include "tst_accessiblenames.moc"
