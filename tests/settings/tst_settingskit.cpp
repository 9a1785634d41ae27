#include "SettingsHarness.h"

#include "settings/kit/AccessibleComboBox.h"
#include "settings/kit/ConfigBinding.h"
#include "settings/kit/IdListModel.h"
#include "settings/kit/SettingsLooks.h"
#include "settings/kit/SliderRow.h"
#include "ui/QtUiPrompts.h"
#include "ui/Sheet.h"

#include "platform/fake/FakeSystemBeep.h"

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

using namespace vima;
using namespace vima::test;

namespace {

IdListModel::Row row(const QUuid &id, const QString &title) { return {id, {{Qt::DisplayRole, title}}}; }

QStringList titles(const IdListModel &model)
{
    QStringList out;
    for (const IdListModel::Row &r : model.rows())
        out << r.data.value(Qt::DisplayRole).toString();
    return out;
}

// The message box a prompt has open, once it is up.
QMessageBox *openMessageBox()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            return box;
    return nullptr;
}

} // namespace

class TestSettingsKit : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void bindingWritesOnlyTheUsersChanges()
    {
        SettingsHarness h;
        h.fixture.writeConfig(QByteArray("unreadable"));
        h.fixture.open();
        QCheckBox box;
        ConfigBinding::bind(h.store(), &box, configField(&VimaConfig::selection, &SelectionSettings::clipboardFallback));
        QVERIFY(box.isChecked());
        // A refresh from elsewhere shows without writing; the guard over the
        // unreadable file holds until the user acts.
        VimaConfig changed = h.store().config();
        changed.selection.clipboardFallback = false;
        h.store().setConfig(changed);
        QVERIFY(!box.isChecked());
        QVERIFY(h.store().loadFailed());
        QCOMPARE(h.fixture.scheduler.pendingCount(), 0);

        box.click();
        QVERIFY(h.store().config().selection.clipboardFallback);
        QVERIFY(!h.store().loadFailed());
        QCOMPARE(h.fixture.scheduler.pendingCount(), 1);
    }

    void lineEditRefreshKeepsTheCursor()
    {
        SettingsHarness h;
        QLineEdit edit;
        ConfigBinding::bind(h.store(), &edit, configField(&VimaConfig::ai, &AISettings::model));
        QTest::keyClicks(&edit, QStringLiteral("x"));
        QCOMPARE(h.store().config().ai.model, QStringLiteral("llama3.2x"));
        edit.setCursorPosition(3);
        h.store().edit([](VimaConfig &config) { config.ai.model = QStringLiteral("llama3"); });
        QCOMPARE(edit.text(), QStringLiteral("llama3"));
        QCOMPARE(edit.cursorPosition(), 3);
    }

    void sliderRowShowsTheStoredValueUnclamped_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("text");
        QTest::newRow("seconds") << 0.3 << 2 << "s" << "0.30s";
        QTest::newRow("rounded points") << 48.6 << 0 << "pt" << "49pt";
        QTest::newRow("scale") << 1.0 << 2 << "×" << "1.00×";
        QTest::newRow("above the range") << 900.0 << 0 << "pt" << "900pt";
        QTest::newRow("below the range") << -2.5 << 2 << "s" << "-2.50s";
    }

    void sliderRowShowsTheStoredValueUnclamped()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, unit);
        QFETCH(QString, text);
        SliderRow row(0.1, 100, decimals, unit);
        QSignalSpy moved(&row, &SliderRow::moved);
        row.setValue(value);
        QCOMPARE(row.valueText(), text);
        QCOMPARE(row.value(), value);
        QCOMPARE(moved.size(), 0);
    }

    void sliderKeysWrite()
    {
        SettingsHarness h;
        SliderRow row(28, 90, 0, QStringLiteral("pt"));
        ConfigBinding::bind(h.store(), &row, configField(&VimaConfig::appearance, &Appearance::innerRadius));
        QCOMPARE(row.valueText(), QStringLiteral("48pt"));
        row.slider()->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(h.store().config().appearance.innerRadius, 90.0);
        QCOMPARE(row.valueText(), QStringLiteral("90pt"));
    }

    void segmentedControlCanShowNoSelection()
    {
        SettingsHarness h;
        SegmentedControl control({QStringLiteral("4"), QStringLiteral("8")});
        ConfigBinding::bind(h.store(), &control, configField(&VimaConfig::slotCount), QList<qint64>{4, 8});
        QCOMPARE(control.currentIndex(), 1);
        h.store().edit([](VimaConfig &config) { config.slotCount = 7; });
        QCOMPARE(control.currentIndex(), -1);
    }

    // A labelled combo box is called by its label and reads its choice as its
    // value; one without a label keeps its choice as name. "Press" opens and
    // closes the list, as a click does.
    void comboBoxIsNamedByItsLabel()
    {
        AccessibleComboBox::installFactory();
        QWidget form;
        auto *layout = new QFormLayout(&form);
        auto *labelled = new QComboBox;
        labelled->addItems({QStringLiteral("1"), QStringLiteral("2")});
        labelled->setCurrentIndex(1);
        auto *bare = new QComboBox;
        bare->addItem(QStringLiteral("Only"));
        layout->addRow(fieldLabel(QStringLiteral("Slot"), labelled), labelled);
        layout->addRow(bare);
        form.show();
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(labelled);
        QCOMPARE(face->role(), QAccessible::ComboBox);
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Slot"));
        QCOMPARE(face->text(QAccessible::Value), QStringLiteral("2"));
        QCOMPARE(QAccessible::queryAccessibleInterface(bare)->text(QAccessible::Name), QStringLiteral("Only"));
        QCOMPARE(face->child(0)->object(), labelled->view());
        face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(labelled->view()->isVisible());
        face->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
        QVERIFY(!labelled->view()->isVisible());
    }

    void idListModelKeepsRowsByIdentity()
    {
        IdListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QUuid a = QUuid::createUuid(), b = QUuid::createUuid(), c = QUuid::createUuid(),
                    d = QUuid::createUuid();
        model.setRows({row(a, "A"), row(b, "B"), row(c, "C")});
        const QPersistentModelIndex held = model.index(2); // C
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        model.setRows({row(c, "C2"), row(d, "D"), row(a, "A")}); // b gone, c moved up, d new
        QCOMPARE(titles(model), (QStringList{"C2", "D", "A"}));
        QCOMPARE(held.row(), 0);
        QCOMPARE(model.rowOf(d), 1);
        QVERIFY(!model.rowOf(b));
        QCOMPARE(changed.size(), 1); // only C's title
        QCOMPARE(reset.size(), 0);

        // Rows of one id keep their order: the n-th stays the n-th.
        model.setRows({row(a, "A1"), row(c, "C2"), row(a, "A2"), row(a, "A3")});
        const QPersistentModelIndex second = model.index(2); // A2
        model.setRows({row(c, "C2"), row(a, "A1"), row(a, "A2"), row(d, "D")});
        QCOMPARE(titles(model), (QStringList{"C2", "A1", "A2", "D"}));
        QCOMPARE(second.row(), 2);
        QCOMPARE(model.rowOf(a), 1);
        model.setRows({});
        QCOMPARE(model.rowCount(), 0);
    }

    void confirmDoesNotBlockAndTheFirstButtonConfirms_data()
    {
        QTest::addColumn<bool>("pressConfirm");
        QTest::newRow("confirm") << true;
        QTest::newRow("cancel") << false;
    }

    void confirmDoesNotBlockAndTheFirstButtonConfirms()
    {
        QFETCH(bool, pressConfirm);
        FakeSystemBeep beep;
        QtUiPrompts prompts(beep);
        QWidget window;
        window.show();
        std::optional<bool> answer;
        auto ask = [&]() -> QCoro::Task<void> {
            answer = co_await prompts.confirm(&window, QStringLiteral("Reset all settings?"),
                                              QStringLiteral("<b>Writing</b>"), QStringLiteral("Reset"));
        };
        auto task = ask();
        QMessageBox *box = openMessageBox(); // open() returned: the caller goes on
        QVERIFY(box);
        QVERIFY(!answer);
        QCOMPARE(box->windowModality(), Qt::WindowModal);
        QCOMPARE(box->defaultButton()->text(), QStringLiteral("Reset"));
        QCOMPARE(box->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"))->textFormat(),
                 Qt::PlainText);
        const auto buttons = box->buttons();
        for (QAbstractButton *button : buttons)
            if ((button->text() == QStringLiteral("Reset")) == pressConfirm)
                button->click();
        QTRY_VERIFY(answer.has_value());
        QCOMPARE(*answer, pressConfirm);
    }

    void aSheetDestroyedBeforeItFinishesStillResumes()
    {
        auto *window = new QWidget;
        auto *sheet = new QDialog(window);
        std::optional<int> result;
        auto run = [&]() -> QCoro::Task<void> { result = co_await openSheet(sheet); };
        auto task = run();
        QVERIFY(!result);
        delete window;
        QCOMPARE(result, std::optional<int>(QDialog::Rejected));
    }
};

QTEST_MAIN(TestSettingsKit)
#include "tst_settingskit.moc"
