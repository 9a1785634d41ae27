#include "platform/fake/FakeUpdater.h"
#include "services/UpdateService.h"

#include <QTest>

using namespace vima;

using Reason = std::optional<QString>;
Q_DECLARE_METATYPE(Reason)

namespace {

const QString noFeed = "This build has no update feed configured.";
const QString placeholder = "This build points at a placeholder update feed.";
const QString noKey = "This build has no update-signing key configured.";
const QString validFeed = "https://updates.vima.app/appcast.xml";

QString keyOf(int bytes)
{
    return QString::fromLatin1(QByteArray(bytes, '\x5a').toBase64());
}

} // namespace

class TestUpdateService : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void validateConfiguration_data()
    {
        QTest::addColumn<Reason>("feed");
        QTest::addColumn<Reason>("key");
        QTest::addColumn<Reason>("reason");
        const Reason key = keyOf(32);
        QTest::newRow("usable") << Reason(validFeed) << key << Reason();
        QTest::newRow("no feed") << Reason() << key << Reason(noFeed);
        QTest::newRow("plain http") << Reason("http://updates.vima.app/a.xml") << key << Reason(noFeed);
        QTest::newRow("scheme in capitals") << Reason("HTTPS://updates.vima.app/a.xml") << key << Reason(noFeed);
        QTest::newRow("no host") << Reason("https:///a.xml") << key << Reason(noFeed);
        QTest::newRow("not a url") << Reason("updates.vima.app") << key << Reason(noFeed);
        QTest::newRow("placeholder") << Reason("https://example.com/a.xml") << key << Reason(placeholder);
        QTest::newRow("placeholder subdomain") << Reason("https://cdn.example.com/a.xml") << key << Reason(placeholder);
        QTest::newRow("placeholder in capitals") << Reason("https://EXAMPLE.COM/a.xml") << key << Reason(placeholder);
        QTest::newRow("name elsewhere") << Reason("https://example.com.vima.app/a.xml") << key << Reason();
        QTest::newRow("name glued on") << Reason("https://myexample.com/a.xml") << key << Reason();
        QTest::newRow("no key") << Reason(validFeed) << Reason() << Reason(noKey);
        QTest::newRow("31 bytes") << Reason(validFeed) << Reason(keyOf(31)) << Reason(noKey);
        QTest::newRow("33 bytes") << Reason(validFeed) << Reason(keyOf(33)) << Reason(noKey);
        QTest::newRow("newline") << Reason(validFeed) << Reason(*key + "\n") << Reason(noKey);
        QTest::newRow("inner newline") << Reason(validFeed) << Reason(key->left(20) + "\n" + key->mid(20)) << Reason(noKey);
        QTest::newRow("no padding") << Reason(validFeed) << Reason(key->chopped(1)) << Reason(noKey);
        QTest::newRow("url alphabet") << Reason(validFeed) << Reason(QString(*key).replace(0, 1, "-")) << Reason(noKey);
    }
    void validateConfiguration()
    {
        QFETCH(Reason, feed);
        QFETCH(Reason, key);
        QFETCH(Reason, reason);
        QCOMPARE(UpdateService::validateConfiguration({feed, key}), reason);
    }

    void theDefaultBuildHasNoFeed()
    {
        const UpdateService service;
        QVERIFY(!service.controller());
        QCOMPARE(service.unavailableReason(), Reason(noFeed));
        QVERIFY(!service.canCheckForUpdates());
    }

    void aBadConfigurationStartsNoUpdater()
    {
        bool made = false;
        UpdateService service({validFeed, keyOf(31)}, [&] {
            made = true;
            return std::make_unique<FakeUpdater>();
        });
        QVERIFY(!made);
        QCOMPARE(service.unavailableReason(), Reason(noKey));
        service.checkForUpdates(); // harmless without an updater
    }

    void withoutAnUpdaterAUsableConfigurationStillHasAReason()
    {
        const UpdateService service({validFeed, keyOf(32)});
        QVERIFY(!service.controller());
        QVERIFY(service.unavailableReason());
    }

    void theUpdaterChecksOnlyWhenAsked()
    {
        UpdateService service({validFeed, keyOf(32)}, [] { return std::make_unique<FakeUpdater>(); });
        auto *updater = static_cast<FakeUpdater *>(service.controller());
        QVERIFY(updater);
        QCOMPARE(service.unavailableReason(), Reason());
        QVERIFY(!updater->automaticChecks);
        QCOMPARE(updater->checks, 0);
        updater->canCheck = false;
        QVERIFY(!service.canCheckForUpdates());
        updater->canCheck = true;
        QVERIFY(service.canCheckForUpdates());
        service.checkForUpdates();
        QCOMPARE(updater->checks, 1);
    }
};

QTEST_GUILESS_MAIN(TestUpdateService)
#include "tst_updateservice.moc"
