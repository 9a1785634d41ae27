#include "platform/NotificationCenter.h"

#include <QTest>

using namespace vima;

class TestNotificationCenter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void deliversByNameInRegistrationOrder()
    {
        NotificationCenter center;
        QStringList seen;
        center.observe(QStringLiteral("a"), [&](const QVariant &o) { seen << QStringLiteral("1:") + o.toString(); });
        center.observe(QStringLiteral("b"), [&](const QVariant &) { seen << QStringLiteral("b"); });
        center.observe(QStringLiteral("a"), [&](const QVariant &o) { seen << QStringLiteral("2:") + o.toString(); });
        center.post(QStringLiteral("a"), QStringLiteral("x"));
        QCOMPARE(seen, (QStringList{QStringLiteral("1:x"), QStringLiteral("2:x")}));
    }

    void removedObserverHearsNothing()
    {
        NotificationCenter center;
        int calls = 0;
        const auto token = center.observe(QStringLiteral("a"), [&](const QVariant &) { ++calls; });
        center.remove(token);
        center.post(QStringLiteral("a"));
        QCOMPARE(calls, 0);
    }

    void observerMayRemoveAnotherDuringDelivery()
    {
        NotificationCenter center;
        int second = 0;
        NotificationCenter::Token later = 0;
        center.observe(QStringLiteral("a"), [&](const QVariant &) { center.remove(later); });
        later = center.observe(QStringLiteral("a"), [&](const QVariant &) { ++second; });
        center.post(QStringLiteral("a"));
        QCOMPARE(second, 0);
    }
};

QTEST_GUILESS_MAIN(TestNotificationCenter)
#include "tst_notificationcenter.moc"
