#include "settings/items/ApplicationChooser.h"

#include "../support/Await.h"
#include "platform/x11/XdgApplicationCatalog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace vima;

Q_DECLARE_METATYPE(std::optional<vima::ChosenApplication>)

class TestApplicationChooser : public QObject {
    Q_OBJECT

private:
    QTemporaryDir data_;

    QString install(const QString &id, const QByteArray &name)
    {
        const QString path = data_.filePath("applications/" + id + ".desktop");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write("[Desktop Entry]\nType=Application\nExec=true\n" + (name.isEmpty() ? "" : "Name=" + name + "\n"));
        return path;
    }

    // Opens the chooser, types `filter` and presses `key` once the list is read.
    std::optional<ChosenApplication> choose(const QString &filter, Qt::Key key)
    {
        QWidget window;
        window.show();
        auto catalog = std::make_shared<XdgApplicationCatalog>(QStringList{data_.path()}, "C");
        auto task = ApplicationChooser::choose(&window, catalog, nullptr);
        ApplicationChooser *chooser = window.findChild<ApplicationChooser *>();
        if (!chooser || !QTest::qWaitForWindowExposed(chooser))
            return std::nullopt;
        [&] { QTRY_VERIFY(chooser->model().isLoaded()); }();
        QLineEdit *field = chooser->findChild<QLineEdit *>();
        QTest::keyClicks(field, filter);
        QTest::keyClick(field, key);
        return test::await(std::move(task), 5000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QDir().mkpath(data_.filePath("applications"));
        install("org.example.Editor", "Text Editor");
        install("org.example.Mac", "Mac.app Tool.app");
        install("org.example.Shout", "SHOUT.APP");
        install("org.example.Nameless", "");
    }

    void returnsTheChosenApplication_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<std::optional<ChosenApplication>>("expected");
        const auto app = [this](const QString &name, const QString &id) {
            return std::optional(ChosenApplication{name, id, data_.filePath("applications/" + id + ".desktop")});
        };
        QTest::newRow("by name") << "edit" << Qt::Key_Return << app("Text Editor", "org.example.Editor");
        QTest::newRow("capitals in the filter") << "EDITOR" << Qt::Key_Enter << app("Text Editor", "org.example.Editor");
        QTest::newRow("every .app goes") << "tool" << Qt::Key_Return << app("Mac Tool", "org.example.Mac");
        QTest::newRow(".APP stays") << "shout" << Qt::Key_Return << app("SHOUT.APP", "org.example.Shout");
        QTest::newRow("no name: the file's") << "nameless" << Qt::Key_Return
                                             << app("org.example.Nameless", "org.example.Nameless");
        QTest::newRow("cancel") << "edit" << Qt::Key_Escape << std::optional<ChosenApplication>();
    }

    void returnsTheChosenApplication()
    {
        QFETCH(QString, filter);
        QFETCH(Qt::Key, key);
        QTEST(choose(filter, key), "expected");
    }
};

QTEST_MAIN(TestApplicationChooser)
#include "tst_applicationchooser.moc"
