#include "platform/fake/FakeHotKeyProbe.h"
#include "platform/fake/FakeHotKeyRegistrar.h"
#include "services/HotkeyManager.h"
#include "services/SystemShortcuts.h"

#include <QTest>

using namespace vima;

namespace {

constexpr quint64 shift = HotkeySpec::shift, control = HotkeySpec::control, alt = HotkeySpec::option,
                  super = HotkeySpec::command;
constexpr quint64 capsLock = 0x10000, functionBit = 0x800000;

} // namespace

// Only a grab another program holds takes a combination away on X11.
class TestSystemShortcuts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reservations_data()
    {
        QTest::addColumn<QList<HotkeySpec>>("held");
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<quint64>("flags");
        QTest::addColumn<QString>("reason"); // empty: free

        const QList<HotkeySpec> none;
        // The other platform's own shortcuts mean nothing here.
        QTest::newRow("Ctrl+Space") << none << 49u << control << QString();
        QTest::newRow("Ctrl+Alt+Space") << none << 49u << (control | alt) << QString();
        QTest::newRow("Super+Space") << none << 49u << super << QString();
        QTest::newRow("Alt+Super+Space") << none << 49u << (alt | super) << QString();
        QTest::newRow("Ctrl+Up") << none << 126u << control << QString();
        QTest::newRow("Ctrl+Left") << none << 123u << control << QString();
        QTest::newRow("Shift+Super+/") << none << 44u << (shift | super) << QString();
        QTest::newRow("Super+Tab") << none << 48u << super << QString();
        QTest::newRow("Super+Q") << none << 12u << super << QString();
        QTest::newRow("Alt+Super+Esc") << none << 53u << (alt | super) << QString();

        const QList<HotkeySpec> grabbed{{49, control | alt}, {40, control | shift}, {105, super}};
        QTest::newRow("grabbed") << grabbed << 49u << (control | alt)
                                 << QStringLiteral("Another program has grabbed Ctrl+Alt+Space.");
        QTest::newRow("named by the layout") << grabbed << 40u << (control | shift)
                                             << QStringLiteral("Another program has grabbed Ctrl+Shift+K.");
        QTest::newRow("function key") << grabbed << 105u << super
                                      << QStringLiteral("Another program has grabbed Super+F13.");
        QTest::newRow("lock and function bits ignored") << grabbed << 49u << (control | alt | capsLock | functionBit)
                                                        << QStringLiteral("Another program has grabbed Ctrl+Alt+Space.");
        QTest::newRow("other modifiers free") << grabbed << 49u << (control | alt | shift) << QString();
    }

    void reservations()
    {
        QFETCH(QList<HotkeySpec>, held);
        QFETCH(quint32, keyCode);
        QFETCH(quint64, flags);
        QFETCH(QString, reason);
        FakeHotKeyRegistrar system;
        system.layout = {{40, QStringLiteral("k")}};
        const HotkeyManager manager(system);
        FakeHotKeyProbe probe;
        probe.heldElsewhere = held;
        const SystemShortcuts shortcuts(probe);

        const auto found = shortcuts.reservation(keyCode, flags);
        if (reason.isEmpty()) {
            QVERIFY2(!found, qPrintable(found ? found->name : QString()));
            return;
        }
        QVERIFY(found);
        QCOMPARE(*found, (SystemShortcuts::Reservation{keyCode, flags & HotkeySpec::modifierMask, reason}));
    }

    void askedEachTime()
    {
        FakeHotKeyProbe probe;
        const SystemShortcuts shortcuts(probe);
        probe.heldElsewhere = {{49, control | alt}};
        QVERIFY(shortcuts.reservation(49, control | alt));
        probe.heldElsewhere.clear();
        QVERIFY(!shortcuts.reservation(49, control | alt));
    }
};

QTEST_GUILESS_MAIN(TestSystemShortcuts)
#include "tst_systemshortcuts.moc"
