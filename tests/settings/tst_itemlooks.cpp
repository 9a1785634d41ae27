#include "settings/kit/ItemLooks.h"

#include "model/SavedGroup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTest>
#include <QWidget>

using namespace vima;

class TestItemLooks : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void savedPackNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << "" << "Untitled";
        QTest::newRow("blanks stay") << "  " << "  ";
        QTest::newRow("markup is text") << "<b>Dev</b>" << "<b>Dev</b>";
    }

    void savedPackNames()
    {
        QFETCH(QString, name);
        QWidget row;
        auto *layout = new QHBoxLayout(&row);
        savedPackLabel(layout, SavedGroup{QUuid::createUuid(), name, IconSpec::symbol("star"), {}, {}}, nullptr);
        auto *label = row.findChild<QLabel *>();
        QTEST(label->text(), "shown");
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }

    void captionsAreUpperCased()
    {
        std::unique_ptr<QLabel> caption(sectionCaption("Your saved packs"));
        QCOMPARE(caption->text(), "YOUR SAVED PACKS");
    }
};

QTEST_MAIN(TestItemLooks)
#include "tst_itemlooks.moc"
