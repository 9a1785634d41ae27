#include "OnboardingFixture.h"
#include "SettingsHarness.h"

#include "onboarding/OnboardingModel.h"
#include "onboarding/OnboardingWindow.h"

#include "settings/ai/AISettingsPage.h"
#include "settings/ai/ProviderRow.h"
#include "settings/general/GeneralSettingsView.h"
#include "settings/items/ApplicationChooser.h"
#include "settings/items/ItemDetailPane.h"
#include "settings/items/ItemEditorView.h"
#include "settings/items/ItemList.h"
#include "settings/items/ItemsSettingsModel.h"
#include "settings/items/ItemsSettingsView.h"
#include "settings/items/ItemsSheetFactory.h"
#include "settings/kit/IntentPolicy.h"
#include "settings/kit/RingPreviewView.h"
#include "settings/kit/SegmentedControl.h"
#include "settings/kit/SliderRow.h"
#include "settings/library/ActionLibraryModel.h"
#include "settings/library/ActionLibraryView.h"
#include "settings/packs/PackAddPanel.h"
#include "settings/packs/PackBuilderModel.h"
#include "settings/packs/PackBuilderView.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QListWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

using namespace vima;
using namespace vima::test;

namespace {

RingItem aiItem(qint64 slot)
{
    return {QUuid::createUuid(), QStringLiteral("Tidy"), IconSpec::symbol(QStringLiteral("sparkles")), slot,
            ItemAction{AIPayload{QStringLiteral("Tidy this up."), ResultHandling::showPopover, {}, {}, false}}};
}

// A ring with a shell item in slot 1, an AI item in slot 2, a pack opener in
// slot 3, and one saved pack.
VimaConfig editedConfig()
{
    VimaConfig config = sampleConfig();
    Ring &main = config.rings.first();
    main.items = {shellItem(0, QStringLiteral("Build")), aiItem(1), opener(2, config.rings.at(1).id)};
    config.savedGroups = {SavedGroup{QUuid::createUuid(), QStringLiteral("Kept"),
                                     IconSpec::symbol(QStringLiteral("star")), {shellItem(0)}, {}}};
    return config;
}

// Builds the page, sheet or window called `name` over the fixture: "items, "
// and the kind of the item edited, "ai" (advanced) or "ai, simple", …
QWidget *buildPage(const QString &name, OnboardingFixture &f)
{
    SettingsHarness &h = f.harness;
    const ItemsSheetFactory sheets = itemsSheetFactory();
    const QUuid ringID = h.store().config().rings.first().id;
    if (name.startsWith(QLatin1String("items"))) {
        auto *view = new ItemsSettingsView(h.context(), sheets);
        view->show();
        const QStringList kinds = {QStringLiteral("items, shell"), QStringLiteral("items, AI"), QStringLiteral("items, pack")};
        view->model().selectItem(h.store().config().rings.first().items.at(kinds.indexOf(name)).id);
        return view;
    }
    if (name == QLatin1String("general"))
        return new GeneralSettingsView(h.context());
    if (name.startsWith(QLatin1String("ai"))) {
        auto *page = new AISettingsPage(h.context());
        const QList<QToolButton *> modes = page->findChild<SegmentedControl *>()->findChildren<QToolButton *>();
        (name == QLatin1String("ai") ? modes.constLast() : modes.constFirst())->click();
        return page;
    }
    if (name == QLatin1String("first-run")) {
        auto *window = new OnboardingWindow(f.context(), true);
        window->model().trigger(OnboardingModel::Action::next); // the template cards
        return window;
    }
    return sheets.buildPack(h.context(), nullptr, {ringID, QStringLiteral("Main"), 4, {}});
}

bool isValueControl(const QWidget *widget)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->isCheckable();
    return qobject_cast<const QComboBox *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget)
        || (qobject_cast<const QAbstractSlider *>(widget) && !qobject_cast<const QScrollBar *>(widget));
}

QList<QWidget *> valueControls(QWidget *root)
{
    QList<QWidget *> found;
    for (QWidget *widget : root->findChildren<QWidget *>())
        if (isValueControl(widget) && widget->isVisibleTo(root))
            found << widget;
    return found;
}

// What a control shows: its index, text, position or check.
QVariant shown(const QWidget *control)
{
    if (const auto *combo = qobject_cast<const QComboBox *>(control))
        return combo->currentIndex();
    if (const auto *spin = qobject_cast<const QAbstractSpinBox *>(control))
        return spin->text();
    if (const auto *slider = qobject_cast<const QAbstractSlider *>(control))
        return slider->value();
    return qobject_cast<const QAbstractButton *>(control)->isChecked();
}

QString describe(const QWidget *control)
{
    return QStringLiteral("%1 \"%2\"").arg(QLatin1String(control->metaObject()->className()),
                                          QAccessible::queryAccessibleInterface(const_cast<QWidget *>(control))
                                              ->text(QAccessible::Name));
}

// One notch of the wheel over the middle of `control`, delivered to the
// innermost widget there (a spin box's line edit), as the pointer would.
void turnWheel(QWidget *control, int delta)
{
    const QPoint middle = control->rect().center();
    QWidget *target = control->childAt(middle) ? control->childAt(middle) : control;
    const QPoint local = target->mapFrom(control, middle);
    QWheelEvent wheel(local, target->mapToGlobal(local), {}, QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
}

QScrollBar *pageScrollBar(QWidget *control)
{
    for (QWidget *widget = control->parentWidget(); widget; widget = widget->parentWidget())
        if (auto *area = qobject_cast<QAbstractScrollArea *>(widget))
            return area->verticalScrollBar();
    return nullptr;
}

QAccessibleActionInterface *actions(QWidget *widget)
{
    return QAccessible::queryAccessibleInterface(widget)->actionInterface();
}

// Selects `row` of `list` as a screen reader or automation would, never by a click.
void selectRow(QAbstractItemView *list, int row, const QString &way)
{
    if (way == QLatin1String("accessible toggle")) {
        // The rows may have been rebuilt: told as a screen reader is told,
        // which the offscreen platform never is, the list forgets the old cells.
        QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(list)->tableInterface();
        QAccessibleTableModelChangeEvent rebuilt(list, QAccessibleTableModelChangeEvent::ModelReset);
        table->modelChange(&rebuilt);
        table->cellAt(row, 0)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    } else {
        list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
    }
}

AppScan installed(const QList<InstalledApp> &apps)
{
    return [apps]() -> QCoro::Task<QList<InstalledApp>> { co_return apps; };
}

template<typename Widget>
Widget *named(QWidget *root, const QString &name)
{
    for (Widget *widget : root->findChildren<Widget *>())
        if (widget->accessibleName() == name || widget->objectName() == name || widget->property("text") == name)
            return widget;
    return nullptr;
}

} // namespace

class TestIntent : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { IntentPolicy::install(); }

    void wheelAndArrowsChangeNoValue_data()
    {
        QTest::addColumn<QString>("page");
        // The action library sheet holds no control a wheel could change.
        for (const char *page : {"items, shell", "items, AI", "items, pack", "general", "ai", "ai, simple",
                                 "pack builder", "first-run"})
            QTest::newRow(page) << QString::fromLatin1(page);
    }

    // Over every value control of a page, unfocused: the wheel scrolls the
    // page instead, and a closed combo box opens its list on the arrows.
    void wheelAndArrowsChangeNoValue()
    {
        QFETCH(QString, page);
        OnboardingFixture f(editedConfig());
        SettingsHarness &h = f.harness;
        std::unique_ptr<QWidget> root(buildPage(page, f));
        root->resize(760, 420);
        root->show();
        QVERIFY(QTest::qWaitForWindowExposed(root.get()));
        const VimaConfig config = h.store().config();
        const QByteArray file = readAll(h.fixture.file());
        const int pending = h.fixture.scheduler.pendingCount();
        const QList<QWidget *> controls = valueControls(root.get());
        QVERIFY(!controls.isEmpty());
        for (QWidget *control : controls) {
            if (QWidget *focus = QApplication::focusWidget())
                focus->clearFocus();
            const QVariant before = shown(control);
            // A button never takes the wheel: the turn goes on to the page by itself.
            QScrollBar *bar = qobject_cast<QAbstractButton *>(control) ? nullptr : pageScrollBar(control);
            const int top = bar ? bar->value() : 0;
            turnWheel(control, -120);
            if (bar && top < bar->maximum())
                QVERIFY2(bar->value() > top, qPrintable(describe(control) + QStringLiteral(" did not scroll")));
            turnWheel(control, 120);
            turnWheel(control, 120);
            QVERIFY2(shown(control) == before, qPrintable(describe(control)));
            if (auto *combo = qobject_cast<QComboBox *>(control)) {
                for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_End, Qt::Key_PageUp}) {
                    QTest::keyClick(combo, key);
                    QVERIFY2(combo->view()->isVisible(), qPrintable(describe(control)));
                    combo->hidePopup();
                    QCOMPARE(shown(combo), before);
                }
            }
        }
        QVERIFY(h.store().config() == config);
        QCOMPARE(h.fixture.scheduler.pendingCount(), pending);
        QCOMPARE(readAll(h.fixture.file()), file);
    }

    // The focused control is the one the user works with: its wheel counts,
    // except a combo box's.
    void aFocusedSliderTakesTheWheelAComboNever()
    {
        SettingsHarness h;
        h.fixture.open(editedConfig());
        GeneralSettingsView view(h.context());
        view.show();
        QApplication::setActiveWindow(&view);
        QVERIFY(QTest::qWaitForWindowActive(&view));
        QSlider *slider = view.findChild<SliderRow *>(QStringLiteral("holdDelay"))->slider();
        slider->setFocus();
        QVERIFY(slider->hasFocus());
        const double delay = h.store().config().pointerTrigger.holdDelay;
        turnWheel(slider, 120);
        QVERIFY(h.store().config().pointerTrigger.holdDelay != delay);

        auto *combo = view.findChild<QComboBox *>(QStringLiteral("template"));
        combo->setFocus();
        const int index = combo->currentIndex();
        turnWheel(combo, -120);
        QCOMPARE(combo->currentIndex(), index);
    }

    // Whatever changes a control's state writes: a toggle, an index or a
    // value set by a key, a screen reader or automation, as a click does.
    void generalStateChangesWrite()
    {
        SettingsHarness h;
        h.fixture.open(editedConfig());
        GeneralSettingsView view(h.context());
        view.show();
        view.findChild<QCheckBox *>(QStringLiteral("contextAwareRings"))->setChecked(false);
        QVERIFY(!h.store().config().featureFlags.contextAwareRings);
        actions(view.findChild<QCheckBox *>(QStringLiteral("clipboardFallback")))->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(!h.store().config().selection.clipboardFallback);

        auto *slots = view.findChild<SegmentedControl *>(QStringLiteral("slotCount"));
        QToolButton *ten = named<QToolButton>(slots, QStringLiteral("10"));
        for (int twice = 0; twice < 2; ++twice) { // the chosen segment stays chosen
            actions(ten)->doAction(QAccessibleActionInterface::toggleAction());
            QCOMPARE(h.store().config().slotCount, 10);
            int checked = 0;
            for (QToolButton *segment : slots->findChildren<QToolButton *>())
                checked += segment->isChecked();
            QCOMPARE(checked, 1);
            QVERIFY(ten->isChecked());
        }

        QSlider *size = view.findChild<SliderRow *>(QStringLiteral("sizeScale"))->slider();
        QAccessible::queryAccessibleInterface(size)->valueInterface()->setCurrentValue(size->maximum());
        QCOMPARE(h.store().config().appearance.sizeScale, 1.6);
    }

    void itemsStateChangesWrite()
    {
        SettingsHarness h;
        h.fixture.open(editedConfig());
        const QList<RingItem> items = h.store().config().rings.first().items;
        ItemsSettingsView view(h.context(), itemsSheetFactory());
        view.resize(900, 640);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const auto editorTitle = [&] { return named<QLineEdit>(view.detail()->editor(), QStringLiteral("Title"))->text(); };

        // A row selected through the accessible table, the selection model or End.
        ItemList &list = *view.list();
        QAccessibleInterface *row = QAccessible::queryAccessibleInterface(&list)->tableInterface()->cellAt(1, 0);
        row->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(view.model().selectedItemID(), std::optional(items.at(1).id));
        QCOMPARE(editorTitle(), items.at(1).title);
        list.selectionModel()->select(list.model()->index(0, 0), QItemSelectionModel::ClearAndSelect);
        QCOMPARE(editorTitle(), items.at(0).title);
        QTest::keyClick(&list, Qt::Key_End);
        QCOMPARE(view.model().selectedItemID(), std::optional(items.at(2).id));
        QCOMPARE(list.currentIndex().row(), 2);

        // A preview slot pressed through its accessible button.
        QAccessibleInterface *preview = QAccessible::queryAccessibleInterface(view.detail()->preview());
        QAccessibleInterface *slot = preview->child(1);
        QCOMPARE(slot->text(QAccessible::Name), QStringLiteral("Slot 2, Tidy"));
        slot->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(view.model().selectedItemID(), std::optional(items.at(1).id));

        // The title set through its accessible text, the kind by index, a box by toggle.
        ItemEditorView *editor = view.detail()->editor();
        QAccessible::queryAccessibleInterface(named<QLineEdit>(editor, QStringLiteral("Title")))
            ->setText(QAccessible::Value, QStringLiteral("Spoken"));
        QCOMPARE(h.store().config().rings.first().items.at(1).title, QStringLiteral("Spoken"));
        named<QComboBox>(editor, QStringLiteral("When picked"))->setCurrentIndex(static_cast<int>(ItemAction::Kind::shell));
        QCOMPARE(h.store().config().rings.first().items.at(1).action.kind(), ItemAction::Kind::shell);
        named<QCheckBox>(view.detail()->editor(), QStringLiteral("Show output in a panel"))->setChecked(true);
        QVERIFY(std::get<ShellPayload>(h.store().config().rings.first().items.at(1).action.payload).showOutput);
    }

    void listRowsSelectedAsAClickIs_data()
    {
        QTest::addColumn<QString>("way");
        for (const char *way : {"accessible toggle", "selection model"})
            QTest::newRow(way) << QString::fromLatin1(way);
    }

    // A row selected without a click does what a click on it does.
    void listRowsSelectedAsAClickIs()
    {
        QFETCH(QString, way);
        SettingsHarness h;
        h.fixture.open(editedConfig());
        const QList<InstalledApp> apps = {{QStringLiteral("Atlas"), QStringLiteral("atlas"), QStringLiteral("/a")},
                                          {QStringLiteral("Gimp"), QStringLiteral("gimp"), QStringLiteral("/g")}};

        // The pack builder's rows add (every time) or open an app's shortcuts.
        PackBuilderView builder(h.context(), {h.store().config().rings.first().id, QStringLiteral("Main"), 4, {}},
                                installed(apps));
        builder.show();
        PackBuilderModel &pack = builder.model();
        pack.openAddPanel();
        pack.showLibraryPage();
        auto *library = builder.addPanel().findChild<QListWidget *>(QStringLiteral("packLibraryList"));
        const QString preset = library->item(1)->text(); // after the first caption
        for (int twice = 1; twice <= 2; ++twice) {
            selectRow(library, 1, way);
            QCOMPARE(pack.items().size(), twice);
            QCOMPARE(pack.items().constLast().title, preset);
        }
        pack.showAppsPage();
        QTRY_COMPARE(pack.installedApps().size(), 2);
        selectRow(builder.addPanel().findChild<QListWidget *>(QStringLiteral("packAppList")), 1, way);
        QCOMPARE(pack.selectedApp().value().bundleID, QStringLiteral("gimp"));

        // The library's categories filter.
        ActionLibraryView sheet(h.context(), h.store().config().rings.first().id, installed({}));
        sheet.show();
        auto *categories = sheet.findChild<QListWidget *>(QStringLiteral("librarySidebar"));
        selectRow(categories, 2, way);
        QCOMPARE(sheet.model().filter(), CategoryFilter::allCases().at(2));
        // Unselected by itself, the category stays the filter and is shown again.
        categories->selectionModel()->clearSelection();
        QTRY_COMPARE(categories->selectionModel()->selectedRows().value(0).row(), 2);
        QCOMPARE(sheet.model().filter(), CategoryFilter::allCases().at(2));

        // The application chooser chooses the highlighted app.
        ApplicationChooser chooser(h.context().sharedCatalog, nullptr);
        QTRY_VERIFY(chooser.model().isLoaded());
        chooser.model().setApps(apps);
        selectRow(chooser.findChild<QListWidget *>(), 1, way);
        QCOMPARE(chooser.chosen(), std::optional(ApplicationChooserModel::chosen(apps.at(1))));
    }

    // The arrows only move the cursor over the add panel's rows; Return adds.
    void choiceRowsAddOnReturnOnly()
    {
        SettingsHarness h;
        h.fixture.open(editedConfig());
        PackBuilderView builder(h.context(), {h.store().config().rings.first().id, QStringLiteral("Main"), 4, {}},
                                installed({}));
        builder.show();
        builder.model().openAddPanel();
        builder.model().showLibraryPage();
        auto *library = builder.addPanel().findChild<QListWidget *>(QStringLiteral("packLibraryList"));
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_End, Qt::Key_Home, Qt::Key_Space})
            QTest::keyClick(library, key);
        QVERIFY(builder.model().items().isEmpty());
        QTest::keyClick(library, Qt::Key_Down);
        const QString preset = library->currentItem()->text();
        QTest::keyClick(library, Qt::Key_Return);
        QCOMPARE(builder.model().items().size(), 1);
        QCOMPARE(builder.model().items().constLast().title, preset);
    }

    void aiStateChangesWrite()
    {
        OnboardingFixture f(editedConfig());
        SettingsHarness &h = f.harness;
        std::unique_ptr<QWidget> page(buildPage(QStringLiteral("ai"), f));
        page->show();
        for (ProviderRow *row : page->findChildren<ProviderRow *>()) {
            if (row->isChosen() || !row->isVisibleTo(page.get()))
                continue;
            actions(row)->doAction(QAccessibleActionInterface::toggleAction());
            QCOMPARE(h.store().config().ai.provider, row->kind());
            QVERIFY(row->isChosen());
            // Toggling the chosen row leaves the choice where it is.
            actions(row)->doAction(QAccessibleActionInterface::toggleAction());
            QCOMPARE(h.store().config().ai.provider, row->kind());
            QVERIFY(row->isChosen());
        }
        auto *timeout = named<QSlider>(page.get(), QStringLiteral("Timeout"));
        timeout->setValue(timeout->minimum());
        QVERIFY(h.store().config().ai.timeout < AISettings{}.timeout);
    }
};

QTEST_MAIN(TestIntent)
#include "tst_intent.moc"
