#include "settings/items/AppActionPickerView.h"

#include "SettingsHarness.h"
#include "settings/kit/IconTile.h"
#include "ui/Sheet.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace vima;
using namespace vima::test;

class TestAppActionPickerView : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SettingsHarness> harness_;
    RingItem app_;
    QUuid ringID_;

    QList<QCheckBox *> ticks(QWidget *sheet) const { return sheet->findChildren<QCheckBox *>(); }

private Q_SLOTS:
    void init()
    {
        app_ = {QUuid::createUuid(), "Editor", IconSpec::symbol("app"), 0,
                ItemAction{LaunchAppPayload{"org.example.Editor", {}}}};
        VimaConfig config;
        config.rings = {ring("Main", {app_})};
        ringID_ = config.rings.first().id;
        harness_ = std::make_unique<SettingsHarness>();
        harness_->fixture.open(config);
    }

    void clicksAnywhereOnARowFlipTheTickOnce_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("check box") << "tick";
        QTest::newRow("title") << "title";
        QTest::newRow("tile") << "tile";
    }

    void clicksAnywhereOnARowFlipTheTickOnce()
    {
        QFETCH(QString, where);
        QWidget window;
        AppActionPickerView sheet(harness_->context(), {ringID_, app_.id, "org.example.Editor", "Editor", app_.icon},
                                  &window);
        sheet.show();
        QCheckBox *tick = ticks(&sheet).first();
        QWidget *row = tick->parentWidget();
        QWidget *target = where == "tick" ? static_cast<QWidget *>(tick)
            : where == "tile"             ? static_cast<QWidget *>(row->findChild<IconTile *>())
                                          : static_cast<QWidget *>(row->findChild<QLabel *>());
        QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
        QVERIFY(!tick->isChecked());
        QCOMPARE(sheet.model().selectedCount(), sheet.model().candidates().size() - 1);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
        QVERIFY(tick->isChecked());
    }

    void returnCreatesEscapeCancelsAndReopeningTicksAll()
    {
        QWidget window;
        window.show();
        AppActionPickerView sheet(harness_->context(), {ringID_, app_.id, "org.example.Editor", "Editor", app_.icon},
                                  &window);
        int created = 0;
        sheet.model().onCreated = [&](const RingItem &) { ++created; };

        auto escaped = openSheet(&sheet);
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        ticks(&sheet).first()->click();
        QTest::keyClick(&sheet, Qt::Key_Escape);
        QCOMPARE(sheet.result(), int(QDialog::Rejected));
        QCOMPARE(created, 0);

        auto returned = openSheet(&sheet);
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        QCOMPARE(sheet.model().selectedCount(), sheet.model().candidates().size());
        QTest::keyClick(&sheet, Qt::Key_Return);
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
        QCOMPARE(created, 1);
        QCOMPARE(harness_->store().config().subRings().size(), 1);
    }
};

QTEST_MAIN(TestAppActionPickerView)
#include "tst_appactionpickerview.moc"
