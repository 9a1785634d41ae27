#include "SettingsHarness.h"

#include "model/StarterItems.h"
#include "settings/SettingsWindow.h"
#include "settings/SettingsWindowController.h"
#include "settings/items/ItemDetailPane.h"
#include "settings/items/ItemEditorView.h"
#include "settings/items/ItemsSettingsModel.h"
#include "settings/items/ItemsSettingsView.h"

#include <QFormLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <limits>
#include <optional>

using namespace vima;
using namespace vima::test;

namespace {

// The top and bottom edge of a form row in `root`'s coordinates, its label
// and its field as far as they are shown; none when nothing of it shows.
std::optional<std::pair<int, int>> rowSpan(const QFormLayout &form, int row, const QWidget &root)
{
    std::optional<std::pair<int, int>> span;
    for (const auto role : {QFormLayout::LabelRole, QFormLayout::FieldRole, QFormLayout::SpanningRole}) {
        const QLayoutItem *item = form.itemAt(row, role);
        const QWidget *widget = item ? item->widget() : nullptr;
        if (!widget || !widget->isVisibleTo(&root))
            continue;
        const int top = widget->mapTo(&root, QPoint(0, 0)).y();
        const int bottom = top + widget->height();
        span = span ? std::pair{std::min(span->first, top), std::max(span->second, bottom)} : std::pair{top, bottom};
    }
    return span;
}

} // namespace

class TestDetailPaneLayout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rowsStayApartInTheSmallestWindow_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name"); // of the item and its pack, when given
        QTest::newRow("ai") << "ai" << QString();
        QTest::newRow("shell") << "shell" << QString();
        QTest::newRow("pack opener") << "opener" << QString();
        QTest::newRow("pack opener, long names") << "opener" << "Translate into Brazilian Portuguese, formal register";
    }

    void rowsStayApartInTheSmallestWindow()
    {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        SettingsHarness h;
        VimaConfig config;
        Ring tools = pack(name.isEmpty() ? QStringLiteral("Tools") : name, {shellItem(0)});
        RingItem item = kind == QLatin1String("ai")      ? rewriteItem(0)
                        : kind == QLatin1String("shell") ? shellItem(0, QStringLiteral("Build"))
                                                         : opener(0, tools.id);
        if (!name.isEmpty())
            item.title = name;
        const Ring main = ring(QStringLiteral("Main"), {item});
        config.rings = {main, tools};
        h.fixture.open(config);
        SettingsWindowController controller(h.context());
        controller.show(SettingsTab::items);
        SettingsWindow &window = *controller.window();
        window.resize(window.minimumSize());
        auto *page = qobject_cast<ItemsSettingsView *>(window.page(SettingsTab::items));
        QVERIFY(page);
        page->model().selectRing(main.id);
        page->model().selectItem(item.id);
        for (int round = 0; round < 3; ++round)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCOMPARE(window.size(), SettingsWindow::smallestSize);

        ItemEditorView *editor = page->detail()->editor();
        QVERIFY(editor && editor->isVisibleTo(&window));
        // Only a field scrolls sideways, never the pane.
        for (const QScrollArea *area : page->detail()->findChildren<QScrollArea *>())
            QCOMPARE(area->horizontalScrollBar()->maximum(), 0);
        int rowsSeen = 0;
        for (const QFormLayout *form : editor->findChildren<QFormLayout *>()) {
            if (!form->parentWidget() || !form->parentWidget()->isVisibleTo(&window))
                continue;
            int previousBottom = std::numeric_limits<int>::min();
            for (int row = 0; row < form->rowCount(); ++row) {
                const auto span = rowSpan(*form, row, *editor);
                if (!span)
                    continue;
                ++rowsSeen;
                QVERIFY2(span->first >= previousBottom,
                         qPrintable(QStringLiteral("row %1 starts at %2, above the end of the row before (%3)")
                                        .arg(row)
                                        .arg(span->first)
                                        .arg(previousBottom)));
                const QLayoutItem *field = form->itemAt(row, QFormLayout::FieldRole);
                if (const QWidget *control = field ? field->widget() : nullptr; control && control->isVisibleTo(editor))
                    QVERIFY2(control->height() >= control->minimumSizeHint().height(),
                             qPrintable(QStringLiteral("row %1 squeezed to %2 px").arg(row).arg(control->height())));
                previousBottom = span->second;
            }
        }
        QVERIFY(rowsSeen >= 3); // Title, Slot, Icon at least
    }
};

QTEST_MAIN(TestDetailPaneLayout)
#include "tst_detailpanelayout.moc"
