#include "platform/fake/FakeHotKeyProbe.h"
#include "platform/fake/FakeSymbolicHotKeyPreferences.h"
#include "services/SystemShortcuts.h"

#include <QTest>

using namespace vima;

namespace {

QVariantMap entry(const QVariant &keyCode, const QVariant &modifiers)
{
    const QVariantMap value{{QStringLiteral("parameters"), QVariantList{32, keyCode, modifiers}}};
    return {{QStringLiteral("enabled"), true}, {QStringLiteral("value"), value}};
}

QVariantMap disabled() { return {{QStringLiteral("enabled"), false}}; }

const QString spotlight = QStringLiteral("macOS uses it for Spotlight.");
const QString generic = QStringLiteral("macOS has already assigned it a system shortcut.");
const QString switchApps = QStringLiteral("macOS uses it to switch apps.");

struct Shortcuts {
    FakeSymbolicHotKeyPreferences source;
    FakeHotKeyProbe probe;
    SystemShortcuts shortcuts{source, probe};
};

} // namespace

class TestSystemShortcuts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lookups_data()
    {
        QTest::addColumn<std::optional<QVariantMap>>("preferences");
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<quint64>("flags");
        QTest::addColumn<QString>("reason"); // empty: free

        const std::optional<QVariantMap> none;
        QTest::newRow("no preferences: command space") << none << 49u << quint64(0x100000) << spotlight;
        QTest::newRow("no preferences: option space free") << none << 49u << quint64(0x80000) << QString();
        QTest::newRow("fixed row: command Q") << none << 12u << quint64(0x100000)
                                              << QStringLiteral("⌘Q quits the frontmost app.");
        QTest::newRow("fixed row: force quit") << none << 53u << quint64(0x180000)
                                               << QStringLiteral("macOS uses it for Force Quit.");
        QTest::newRow("function-key bit ignored") << none << 49u << quint64(0x900000) << spotlight;
        QTest::newRow("caps lock bit counts") << none << 49u << quint64(0x110000) << QString();

        const std::optional<QVariantMap> spotlightOff = QVariantMap{{"64", disabled()}};
        QTest::newRow("disabled frees it") << spotlightOff << 49u << quint64(0x100000) << QString();
        QTest::newRow("fixed rows stay") << std::optional(QVariantMap{{"64", disabled()}})
                                         << 48u << quint64(0x100000) << switchApps;

        const std::optional<QVariantMap> moved = QVariantMap{{"64", entry(49, 0x140000)}};
        QTest::newRow("moved: old free") << moved << 49u << quint64(0x100000) << QString();
        QTest::newRow("moved: new reserved") << moved << 49u << quint64(0x140000) << spotlight;

        const std::optional<QVariantMap> unknown = QVariantMap{{"200", entry(40, 0x100000)}};
        QTest::newRow("unknown number") << unknown << 40u << quint64(0x100000) << generic;
        QTest::newRow("signed key") << std::optional(QVariantMap{{"+200", entry(40, 0x100000)}})
                                    << 40u << quint64(0x100000) << generic;

        QTest::newRow("no key keeps default") << std::optional(QVariantMap{{"64", entry(65535, 0x40000)}})
                                              << 49u << quint64(0x100000) << spotlight;
        QTest::newRow("no modifiers removes") << std::optional(QVariantMap{{"64", entry(49, 0)}})
                                              << 49u << quint64(0x100000) << QString();
        QTest::newRow("enabled as number zero") << std::optional(QVariantMap{{"64", QVariantMap{{"enabled", 0}}}})
                                                << 49u << quint64(0x100000) << QString();
        QTest::newRow("enabled of another type goes on")
            << std::optional(QVariantMap{{"64", QVariantMap{{"enabled", "no"}}}})
            << 49u << quint64(0x100000) << spotlight;
        QTest::newRow("double parameters") << std::optional(QVariantMap{{"200", entry(40.0, 1048576.0)}})
                                           << 40u << quint64(0x100000) << generic;
        QTest::newRow("text parameter skipped") << std::optional(QVariantMap{{"64", entry("49", 0)}})
                                                << 49u << quint64(0x100000) << spotlight;
        QTest::newRow("key not a number") << std::optional(QVariantMap{{" 64", entry(49, 0)}})
                                          << 49u << quint64(0x100000) << spotlight;
        QTest::newRow("value not a dictionary") << std::optional(QVariantMap{{"64", QVariantList{1}}})
                                                << 49u << quint64(0x100000) << spotlight;
        QTest::newRow("too few parameters")
            << std::optional(QVariantMap{{"64", QVariantMap{{"value", QVariantMap{{"parameters", QVariantList{32, 49}}}}}}})
            << 49u << quint64(0x100000) << spotlight;
        QTest::newRow("extra bits stored masked") << std::optional(QVariantMap{{"200", entry(40, 0x900000)}})
                                                  << 40u << quint64(0x100000) << generic;
    }

    void lookups()
    {
        QFETCH(std::optional<QVariantMap>, preferences);
        QFETCH(quint32, keyCode);
        QFETCH(quint64, flags);
        QFETCH(QString, reason);
        Shortcuts fixture;
        fixture.source.hotKeys = preferences;
        const auto found = fixture.shortcuts.reservation(keyCode, flags);
        if (reason.isEmpty()) {
            QVERIFY2(!found, qPrintable(found ? found->name : QString()));
            return;
        }
        QVERIFY(found);
        QCOMPARE(found->name, reason);
        QCOMPARE(found->keyCode, keyCode);
        QCOMPARE(found->flags, flags & SystemShortcuts::flagMask);
    }

    void listHoldsDefaultsThenMissingFixedRows()
    {
        const Shortcuts fixture;
        const auto &list = fixture.shortcuts.userReservations();
        QCOMPARE(list.size(), 9 + 4);
        QCOMPARE(list.mid(9), SystemShortcuts::fixedReservations());
    }

    void aFixedRowAlreadyTakenIsNotRepeated()
    {
        Shortcuts fixture;
        fixture.source.hotKeys = QVariantMap{{"200", entry(48, 0x100000)}};
        QCOMPARE(fixture.shortcuts.userReservations().size(), 10 + 3);
        QCOMPARE(fixture.shortcuts.reservation(48, 0x100000)->name, generic);
    }

    void preferencesAreReadOnce()
    {
        Shortcuts fixture;
        QCOMPARE(fixture.source.reads, 0);
        fixture.shortcuts.reservation(49, 0x100000);
        fixture.source.hotKeys = QVariantMap{{"64", disabled()}};
        QVERIFY(fixture.shortcuts.reservation(49, 0x100000));
        QCOMPARE(fixture.source.reads, 1);
    }

    void combinationsHeldByOtherProgramsAreAskedEachTime()
    {
        constexpr quint64 controlShift = HotkeySpec::control | HotkeySpec::shift;
        Shortcuts fixture;
        fixture.probe.heldElsewhere = {{40, controlShift}, {49, HotkeySpec::command}};

        const auto held = fixture.shortcuts.reservation(40, controlShift | 0x800000);
        QVERIFY(held);
        QCOMPARE(*held, (SystemShortcuts::Reservation{40, controlShift, QStringLiteral("Another application")}));
        // The system's own reason comes first.
        QCOMPARE(fixture.shortcuts.reservation(49, HotkeySpec::command)->name, spotlight);

        fixture.probe.heldElsewhere.clear();
        QVERIFY(!fixture.shortcuts.reservation(40, controlShift));
    }
};

QTEST_GUILESS_MAIN(TestSystemShortcuts)
#include "tst_systemshortcuts.moc"
