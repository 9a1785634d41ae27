#include "SettingsHarness.h"

#include "settings/items/AddItemChooser.h"
#include "settings/items/ItemDetailPane.h"
#include "settings/items/ItemList.h"
#include "settings/items/ItemRowDelegate.h"
#include "settings/items/ItemsSettingsModel.h"
#include "settings/items/ItemsSettingsView.h"
#include "settings/items/ItemsSheetPresenter.h"
#include "settings/items/RingHeader.h"
#include "settings/kit/IdListModel.h"
#include "settings/kit/RingPreviewView.h"
#include "settings/kit/RowButton.h"
#include "settings/items/SlotOperations.h"
#include "ring/RingText.h"
#include "ring/RingViewModel.h"

#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QTextLayout>
#include <QToolButton>
#include <cmath>
#include <limits>
#include <numbers>

using namespace vima;
using namespace vima::test;

namespace {

using ActiveSheet = ItemsSettingsModel::ActiveSheet;

// Sheets that record what they were opened with.
struct RecordingSheets {
    QStringList opened;
    QList<BuildPackSheetArguments> buildPacks;

    ItemsSheetFactory factory()
    {
        ItemsSheetFactory sheets;
        sheets.buildPack = [this](SettingsContext &, QWidget *parent, const BuildPackSheetArguments &arguments) {
            buildPacks.append(arguments);
            return sheet(parent, QStringLiteral("buildPack"));
        };
        sheets.library = [this](SettingsContext &, QWidget *parent, const LibrarySheetArguments &) {
            return sheet(parent, QStringLiteral("library"));
        };
        sheets.templates = [this](SettingsContext &, QWidget *parent) { return sheet(parent, QStringLiteral("templates")); };
        return sheets;
    }

    QDialog *sheet(QWidget *parent, const QString &name)
    {
        opened << name;
        auto *dialog = new QDialog(parent);
        dialog->setObjectName(name);
        return dialog;
    }
};

QStringList texts(const QMenu *menu)
{
    QStringList out;
    for (const QAction *action : menu->actions()) {
        if (!action->isSeparator())
            out << action->text();
    }
    return out;
}

struct View {
    SettingsHarness h;
    RecordingSheets sheets;
    std::unique_ptr<ItemsSettingsView> view;

    explicit View(const QList<Ring> &rings, const QList<SavedGroup> &saved = {})
    {
        VimaConfig config;
        config.rings = rings;
        config.savedGroups = saved;
        h.fixture.open(config);
        view = std::make_unique<ItemsSettingsView>(h.context(), sheets.factory());
        view->resize(900, 640);
    }
    ItemsSettingsModel &model() { return view->model(); }
};

} // namespace

class TestItemsView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showingSeedsAndTheListFollows()
    {
        Ring page = ring(QStringLiteral("Main"), {shellItem(4, "Late"), shellItem(1, "Early")});
        View v({page});
        QCOMPARE(v.model().selectedItemID(), std::nullopt); // nothing before it shows
        v.view->show();
        QCOMPARE(v.model().selectedItemID(), std::optional(page.items.at(1).id));
        ItemList &list = *v.view->list();
        QCOMPARE(list.currentIndex().row(), 0);
        QVERIFY(v.view->detail()->editor());

        list.setFocus();
        QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(v.model().selectedItemID(), std::optional(page.items.at(0).id));
        QCOMPARE(list.currentIndex().row(), 1);
        QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(v.model().selectedItemID(), std::optional(page.items.at(0).id));
        QTest::keyClick(&list, Qt::Key_Up);
        QCOMPARE(v.model().selectedItemID(), std::optional(page.items.at(1).id));

        // An outside change refreshes in place and keeps the editor.
        ItemEditorView *editor = v.view->detail()->editor();
        v.h.store().edit([](VimaConfig &config) { config.rings[0].items[1].title = QStringLiteral("Renamed"); });
        QCOMPARE(list.rows().rows().first().data.value(Qt::DisplayRole).toString(), QStringLiteral("Renamed"));
        QCOMPARE(v.view->detail()->editor(), editor);
        // The largest slot a file may hold is numbered as it is.
        v.h.store().edit([](VimaConfig &config) { config.rings[0].items[0].slot = std::numeric_limits<qint64>::max(); });
        QCOMPARE(list.rows().rows().last().data.value(ItemRowDelegate::SlotRole).toString(),
                 QStringLiteral("9223372036854775808"));
    }

    void userNamesArePlainText()
    {
        Ring page = ring(QStringLiteral("<b>x"), {shellItem(0)});
        Ring other = ring(QStringLiteral("A&B"));
        const SavedGroup saved{QUuid::createUuid(), QStringLiteral("A&B"), IconSpec::symbol("star"), {}, {}};
        View v({page, other}, {saved});
        v.view->show();
        const auto *name = v.view->header()->picker()->findChild<QLabel *>();
        QCOMPARE(name->textFormat(), Qt::PlainText);
        QCOMPARE(name->text(), QStringLiteral("<b>x"));
        Q_EMIT v.view->header()->pickerMenu()->aboutToShow();
        QVERIFY(texts(v.view->header()->pickerMenu()).contains(QStringLiteral("A&&B")));
        Q_EMIT v.view->addMenu()->aboutToShow();
        const QMenu *insert = v.view->addMenu()->findChild<QMenu *>();
        QCOMPARE(texts(insert), QStringList{QStringLiteral("A&&B")});
        // No new item can be made an AppleScript one here.
        QVERIFY(texts(v.view->addMenu()).contains(QStringLiteral("Run a shell script")));
        QVERIFY(!texts(v.view->addMenu()).contains(QStringLiteral("Run AppleScript")));
    }

    // A direction control in a title keeps to the title: the rest of its row
    // reads left to right. Plain titles read exactly as written.
    void aTitleCantReorderItsRow_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("plain") << QStringLiteral("Tidy");
        QTest::newRow("an override") << QStringLiteral("abc") + QChar(0x202e) + QStringLiteral("def");
        QTest::newRow("an override after a stray isolate end")
            << QChar(0x2069) + QStringLiteral("abc") + QChar(0x202e) + QStringLiteral("def");
        QTest::newRow("an override in an isolate left open")
            << QChar(0x2067) + QStringLiteral("abc") + QChar(0x202e) + QStringLiteral("def");
        QTest::newRow("right-to-left letters and numbers") << QStringLiteral("שלום 12");
    }

    void aTitleCantReorderItsRow()
    {
        QFETCH(QString, title);
        View v({ring(QStringLiteral("Main"), {shellItem(2, title)})});
        v.view->show();
        const QHash<int, QVariant> row = v.view->list()->rows().rows().first().data;
        QCOMPARE(row.value(Qt::DisplayRole).toString(), title);
        const QString spoken = row.value(Qt::AccessibleTextRole).toString();
        const QString rest = QStringLiteral(", ") + row.value(ItemRowDelegate::SummaryRole).toString()
                             + QStringLiteral(", slot 3");
        QVERIFY(spoken.endsWith(rest));
        if (title == QLatin1String("Tidy"))
            QCOMPARE(spoken, title + rest);
        QTextLayout layout(spoken, QFont());
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(100'000);
        layout.endLayout();
        for (int at = int(spoken.size() - rest.size()); at < spoken.size(); ++at)
            QVERIFY2(line.cursorToX(at) < line.cursorToX(at + 1), qPrintable(QString::number(at)));
    }

    void longNamesAndManyPagesStayUsable()
    {
        QList<Ring> pages{ring(QStringLiteral("A page with a name far longer than the column has room for, and more"))};
        for (int n = 1; n < 60; ++n)
            pages.append(ring(QStringLiteral("Page %1").arg(n)));
        View v(pages);
        v.view->show();
        QVERIFY(QTest::qWaitForWindowExposed(v.view.get()));
        RingHeader *header = v.view->header();
        QToolButton *more = header->ringMenuButton();
        QVERIFY(more->isVisible());
        QVERIFY(header->rect().contains(QRect(more->mapTo(header, QPoint()), more->size())));
        QVERIFY(header->picker()->geometry().right() < more->geometry().left());
        const auto *name = header->picker()->findChild<QLabel *>();
        QVERIFY(name->text().endsWith(QChar(0x2026)));
        QCOMPARE(header->picker()->accessibleName(), pages.first().name);

        QMenu *picker = header->pickerMenu();
        picker->popup(header->mapToGlobal(QPoint()));
        QVERIFY(picker->height() <= RingHeader::pickerMenuHeight);
        QSet<int> columns;
        for (QAction *action : picker->actions())
            columns.insert(picker->actionGeometry(action).x());
        QCOMPARE(columns.size(), 1);
        picker->hide();
    }

    void hugeNamesAreShownBounded_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("the title field's limit") << 32'767;
        QTest::newRow("100 KB") << 100 * 1024;
        QTest::newRow("10 MB") << 10 * 1024 * 1024;
    }

    void hugeNamesAreShownBounded()
    {
        QFETCH(int, length);
        const QString huge(length, u'n');
        RingItem item = shellItem(0, huge);
        item.action = ItemAction{OpenPayload{QStringLiteral("https://example.com/") + huge}};
        const SavedGroup saved{QUuid::createUuid(), huge, IconSpec::symbol("star"), {}, {}};
        View v({ring(huge, {item})}, {saved});
        v.view->show();

        const qsizetype bound = RingText::longestName + 1;
        const QHash<int, QVariant> row = v.view->list()->rows().rows().first().data;
        QVERIFY(row.value(Qt::DisplayRole).toString().size() <= bound);
        QVERIFY(row.value(ItemRowDelegate::SummaryRole).toString().size() <= bound);
        QVERIFY(row.value(Qt::AccessibleTextRole).toString().size() <= 3 * bound);
        RingHeader *header = v.view->header();
        QVERIFY(header->picker()->accessibleName().size() <= bound);
        QVERIFY(header->picker()->findChild<QLabel *>()->text().size() <= bound);
        Q_EMIT header->pickerMenu()->aboutToShow();
        Q_EMIT v.view->addMenu()->aboutToShow();
        for (const QMenu *menu : {header->pickerMenu(), v.view->addMenu()->findChild<QMenu *>()}) {
            for (const QString &text : texts(menu))
                QVERIFY(text.size() <= bound);
        }

        const Ring &stored = v.h.store().config().rings.first();
        QCOMPARE(stored.name, huge);
        QCOMPARE(stored.items.first().title, huge);
    }

    void ringMenuFollowsTheEditedRing()
    {
        Ring first = ring(QStringLiteral("One")), second = ring(QStringLiteral("Two")), more = pack(QStringLiteral("P"));
        View v({first, second, more});
        v.view->show();
        QMenu *menu = v.view->header()->ringMenu();
        Q_EMIT menu->aboutToShow();
        QCOMPARE(texts(menu), (QStringList{"Add Page", "Add App Ring…", "Rename…", "Move Up", "Move Down",
                                            "Delete Page", "Slots"}));
        v.model().selectRing(more.id);
        Q_EMIT menu->aboutToShow();
        QCOMPARE(texts(menu), (QStringList{"Add Page", "Add App Ring…", "Add an Empty Pack", "Rename…",
                                            "Delete Ring", "Slots"}));
    }

    void oneSheetAtATime()
    {
        View v({ring(QStringLiteral("Main"))});
        v.view->show();
        v.model().requestSheet({ActiveSheet::Kind::library});
        QPointer<QDialog> library = v.view->sheets().currentSheet();
        QVERIFY(library && library->isVisible());
        QCOMPARE(library->windowModality(), Qt::WindowModal);
        v.model().requestSheet({ActiveSheet::Kind::library}); // same identity: kept
        QCOMPARE(v.sheets.opened, QStringList{"library"});

        v.model().requestSheet({ActiveSheet::Kind::buildPack, 2});
        QVERIFY(!library || !library->isVisible());
        QCOMPARE(v.sheets.opened, (QStringList{"library", "buildPack"}));
        QCOMPARE(v.model().activeSheet(), std::optional(ActiveSheet{ActiveSheet::Kind::buildPack, 2}));
        QCOMPARE(v.sheets.buildPacks.first().parentName, QStringLiteral("Main"));
        QCOMPARE(v.sheets.buildPacks.first().slot, 2);

        v.view->sheets().currentSheet()->reject();
        QCOMPARE(v.model().activeSheet(), std::nullopt);
        QCOMPARE(v.view->sheets().currentSheet(), nullptr);
        // No factory for the picker: nothing opens and nothing stays requested.
        v.model().setActiveSheet(ActiveSheet{ActiveSheet::Kind::appActions});
        QCOMPARE(v.model().activeSheet(), std::nullopt);
    }

    void anEmptySlotOpensTheChooser()
    {
        Ring page = ring(QStringLiteral("Main"), {shellItem(0)});
        View v({page});
        v.view->show();
        RingPreviewView &preview = *v.view->detail()->preview();
        QVERIFY(QTest::qWaitForWindowExposed(v.view.get()));
        const RingGeometry geometry = preview.viewModel().geometry(preview.size());
        const double radius = (geometry.innerRadius + geometry.outerRadius) / 2;
        const double angle = 2 * std::numbers::pi * 4 / geometry.slotCount - std::numbers::pi / 2;
        QTest::mouseClick(&preview, Qt::LeftButton, {},
                          (geometry.center + radius * QPointF(std::cos(angle), std::sin(angle))).toPoint());
        AddItemChooser &chooser = *v.view->detail()->chooser();
        QVERIFY(chooser.isVisible());
        QCOMPARE(v.model().addAtSlot(), std::optional<qint64>(4));
        const QRect tile(preview.mapToGlobal(preview.slotRect(4).topLeft()), preview.slotRect(4).size());
        QVERIFY(chooser.geometry().top() <= tile.center().y() && chooser.geometry().bottom() >= tile.center().y());
        QVERIFY(chooser.geometry().right() < tile.left() || chooser.geometry().left() > tile.right()); // beside it
        QVERIFY(chooser.screen()->availableGeometry().contains(chooser.geometry()));

        const QList<RowButton *> rows = chooser.findChildren<RowButton *>();
        const auto shell = std::find_if(rows.cbegin(), rows.cend(), [](RowButton *row) {
            return row->accessibleName() == QStringLiteral("Run a shell script");
        });
        (*shell)->click();
        QVERIFY(!chooser.isVisible());
        QCOMPARE(v.model().addAtSlot(), std::nullopt);
        const RingItem added = v.h.store().config().rings.first().items.constLast();
        QCOMPARE(added.slot, 4);
        QCOMPARE(added.action.kind(), ItemAction::Kind::shell);
        QCOMPARE(v.model().selectedItemID(), std::optional(added.id));

        // Dismissed without a choice: nothing changes but addAtSlot.
        v.view->slots().selectSlot(6);
        QVERIFY(chooser.isVisible());
        chooser.hide();
        QCOMPARE(v.model().addAtSlot(), std::nullopt);
        QCOMPARE(v.h.store().config().rings.first().items.size(), 2);
    }
};

QTEST_MAIN(TestItemsView)
#include "tst_itemsview.moc"
