#include "GalleryRun.h"

#include "app/Theme.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace vima;

namespace {

// Records each widget that was shown as a window of its own and later put
// inside another. For that moment it was a top-level window: the window
// manager maps it and may hand it the keyboard, and what the user types goes
// there and is lost.
class StrayWindowWatcher final : public QObject {
public:
    QStringList strays;

    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (!object->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(object);
        if (event->type() == QEvent::Show && widget->isWindow() && !shownAlone_.contains(widget)) {
            shownAlone_.insert(widget);
            connect(widget, &QObject::destroyed, this, [this, widget] { shownAlone_.remove(widget); });
        } else if (event->type() == QEvent::ParentChange && widget->parentWidget() && shownAlone_.remove(widget)) {
            strays.append(describe(widget));
        }
        return false;
    }

private:
    static QString describe(const QWidget *widget)
    {
        QStringList chain;
        for (const QWidget *w = widget; w; w = w->parentWidget())
            chain.append(QString::fromLatin1(w->metaObject()->className())
                         + (w->objectName().isEmpty() ? QString() : QLatin1Char('#') + w->objectName()));
        return chain.join(QStringLiteral(" in "));
    }

    QSet<QWidget *> shownAlone_;
};

} // namespace

class TestStrayWindows : public QObject {
    Q_OBJECT

    QTemporaryDir pictures;

private Q_SLOTS:
    void initTestCase() { applyTheme(AppTheme::light); }

    // Every window, tab, page, sheet and panel, as the gallery builds, shows
    // and goes through them.
    void nothingFlashesUpWhileBuilt_data()
    {
        QTest::addColumn<QString>("area");
        for (const QString &area : gallery::areas())
            QTest::newRow(qPrintable(area)) << area;
    }
    void nothingFlashesUpWhileBuilt()
    {
        QFETCH(QString, area);
        StrayWindowWatcher watcher;
        qApp->installEventFilter(&watcher);
        QVERIFY(gallery::runAll(pictures.path(), QStringLiteral("light"), {area}) > 0);
        qApp->removeEventFilter(&watcher);
        QVERIFY2(watcher.strays.isEmpty(), qPrintable(watcher.strays.join(QStringLiteral("\n  "))));
    }
};

QTEST_MAIN(TestStrayWindows)
#include "tst_straywindows.moc"
