#include "ui/VirtualKeyEvent.h"

#include <QKeyEvent>
#include <QTest>

using namespace vima;

class TestVirtualKeyEvent : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("characters");
        QTest::addColumn<quint64>("flags");
        QTest::newRow("tab") << int(Qt::Key_Tab) << 0 << "\t" << 48 << "" << quint64(0);
        QTest::newRow("backtab is shift-tab") << int(Qt::Key_Backtab) << 0 << "" << 48 << "" << quint64(0x20000);
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << "\b" << 51 << "" << quint64(0);
        QTest::newRow("delete") << int(Qt::Key_Delete) << 0 << "" << 117 << "" << quint64(0);
        QTest::newRow("return") << int(Qt::Key_Return) << 0 << "\r" << 36 << "" << quint64(0);
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "\r" << 76 << ""
                                      << quint64(0);
        QTest::newRow("escape") << int(Qt::Key_Escape) << 0 << "\x1b" << 53 << "" << quint64(0);
        QTest::newRow("space with alt") << int(Qt::Key_Space) << int(Qt::AltModifier) << " " << 49 << " "
                                        << quint64(0x80000);
        QTest::newRow("cmd left") << int(Qt::Key_Left) << int(Qt::MetaModifier) << "" << 123 << ""
                                  << quint64(0x100000);
        QTest::newRow("arrows") << int(Qt::Key_Down) << 0 << "" << 125 << "" << quint64(0);
        QTest::newRow("digit 1") << int(Qt::Key_1) << 0 << "1" << 18 << "1" << quint64(0);
        QTest::newRow("ctrl digit 5") << int(Qt::Key_5) << int(Qt::ControlModifier) << "" << 23 << "5"
                                      << quint64(0x40000);
        QTest::newRow("keypad 0") << int(Qt::Key_0) << int(Qt::KeypadModifier) << "0" << 82 << "0" << quint64(0);
        QTest::newRow("keypad 9") << int(Qt::Key_9) << int(Qt::KeypadModifier) << "9" << 92 << "9" << quint64(0);
        // Layouts whose digit row types another script's digits.
        QTest::newRow("devanagari 1") << 0x967 << 0 << "\u0967" << 18 << "\u0967" << quint64(0);
        // As Qt reports them under X11: French Shift+&, Lithuanian AltGr+ą.
        QTest::newRow("digit that needs shift") << int(Qt::Key_1) << int(Qt::ShiftModifier) << "1" << 18 << "1"
                                                << quint64(0x20000);
        QTest::newRow("digit that needs altgr") << int(Qt::Key_1) << int(Qt::GroupSwitchModifier) << "1" << 18
                                                << "1" << quint64(0);
        QTest::newRow("arabic-indic 0") << 0x660 << 0 << "\u0660" << 29 << "\u0660" << quint64(0);
        QTest::newRow("letter with ctrl") << int(Qt::Key_A) << int(Qt::ControlModifier) << "\x01" << 0 << "a"
                                          << quint64(0x40000);
        QTest::newRow("all modifiers") << int(Qt::Key_K)
                                       << int(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier
                                              | Qt::MetaModifier)
                                       << "K" << 40 << "K" << quint64(0x1E0000);
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(int, code);
        QFETCH(QString, characters);
        QFETCH(quint64, flags);
        const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
        const auto translated = VirtualKeyEvent::from(event);
        QVERIFY(translated);
        QCOMPARE(translated->keyCode, quint16(code));
        QCOMPARE(translated->characters.value_or(QString()), characters);
        QCOMPARE(translated->modifierFlags, flags);
    }

    void keysWithoutCode()
    {
        for (const int key : {int(Qt::Key_Shift), int(Qt::Key_Alt), int(Qt::Key_VolumeUp), int(Qt::Key_unknown)}) {
            const QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
            QVERIFY(!VirtualKeyEvent::from(event));
        }
    }
};

QTEST_GUILESS_MAIN(TestVirtualKeyEvent)
#include "tst_virtualkeyevent.moc"
