#include "SettingsHarness.h"

#include "actions/AskInputView.h"
#include "actions/ResultWindowController.h"
#include "async/FakeScheduler.h"
#include "settings/general/PathLabel.h"
#include "settings/items/AppActionPickerView.h"
#include "settings/items/ApplicationChooser.h"
#include "settings/kit/ElidedLabel.h"
#include "ui/QtUiPrompts.h"

#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTextDocument>
#include <QWindow>

using namespace vima;
using namespace vima::test;

namespace {

// What a reader sees of `text` shown in `format`.
QString shown(const QString &text, Qt::TextFormat format)
{
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(text)))
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

QString shownBy(const QLabel *label) { return label ? shown(label->text(), label->textFormat()) : QString(); }

// QToolTip has no format of its own: it guesses.
QString shownAsToolTip(const QString &tip) { return shown(tip, Qt::AutoText); }

QString shownTitle(QWidget *window)
{
    window->winId();
    return window->windowHandle()->title();
}

// Every view that shows a name, each in a fresh set of fakes.
struct Views {
    SettingsHarness h;
    FakeScheduler scheduler;
    ResultWindowController results{scheduler};
    QtUiPrompts prompts{h.beep};
    QWidget window;

    Views() { results.pointerLocation = [] { return QPoint(400, 300); }; }

    ResultView *resultTitled(const QString &title)
    {
        ActionOutcome outcome;
        outcome.title = title;
        outcome.body = QStringLiteral("The answer.");
        results.show(outcome);
        return results.resultPanel();
    }
};

// Makes a view with the name and reads the place it shows up.
struct Place {
    std::function<QString(Views &, const QString &name)> show;
};

const QList<std::pair<const char *, Place>> &places()
{
    static const QList<std::pair<const char *, Place>> table{
        {"result panel title",
         {[](Views &v, const QString &name) { return shownBy(v.resultTitled(name)->findChild<QLabel *>("title")); }}},
        {"result panel window title", {[](Views &v, const QString &name) { return shownTitle(v.resultTitled(name)); }}},
        {"busy indicator",
         {[](Views &v, const QString &name) {
             v.results.showBusy(name);
             return shownBy(v.results.hudPanel()->findChild<QLabel *>("message"));
         }}},
        {"ask-input question",
         {[](Views &, const QString &name) {
             AskInputView view(name);
             for (const QLabel *label : view.findChildren<QLabel *>())
                 if (!label->text().isEmpty())
                     return shownBy(label);
             return QString();
         }}},
        {"ring name or app id tool tip",
         {[](Views &, const QString &name) {
             ElidedLabel label(Tone::label);
             label.setFullText(name);
             return shownAsToolTip(label.toolTip());
         }}},
        {"config path tool tip",
         {[](Views &, const QString &name) { return shownAsToolTip(PathLabel(name).toolTip()); }}},
        {"application chooser row tool tip",
         {[](Views &v, const QString &name) {
             DesktopApp app;
             app.bundleID = name;
             app.name = QStringLiteral("Editor");
             v.h.catalog.install(app);
             ApplicationChooser chooser(v.h.context().sharedCatalog, nullptr);
             if (!QTest::qWaitFor([&] { return chooser.model().isLoaded(); }))
                 return QStringLiteral("(the list never loaded)");
             const QListWidgetItem *row = chooser.findChild<QListWidget *>()->item(0);
             return row ? shownAsToolTip(row->toolTip()) : QString();
         }}},
        {"rename prompt",
         {[](Views &v, const QString &name) {
             auto asking = v.prompts.askText(&v.window, QStringLiteral("Rename ring"), name, QStringLiteral("Main"),
                                             QStringLiteral("Rename"));
             auto *dialog = v.window.findChild<QInputDialog *>();
             const QString text = shownBy(dialog->findChild<QLabel *>());
             dialog->reject();
             return QTest::qWaitFor([&] { return asking.isReady(); }) ? text : QStringLiteral("(still open)");
         }}},
        {"app actions sheet title",
         {[](Views &v, const QString &name) {
             AppActionPickerView sheet(v.h.context(), {{}, {}, QStringLiteral("org.example.Editor"), name, {}},
                                       &v.window);
             return shownTitle(&sheet).remove(QStringLiteral(" actions"));
         }}},
    };
    return table;
}

} // namespace

Q_DECLARE_METATYPE(Place)

class TestPlainTextNames : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namesShowAsWritten_data()
    {
        QTest::addColumn<Place>("place");
        QTest::addColumn<QString>("name");
        const QStringList names{QStringLiteral("<b>x</b>"), QStringLiteral("<img src=\"x.png\" width=8 height=8>"),
                                QStringLiteral("&lt;i&gt; & [*]")};
        for (const auto &[view, place] : places())
            for (const QString &name : names)
                QTest::addRow("%s: %s", view, qPrintable(name)) << place << name;
    }

    void namesShowAsWritten()
    {
        QFETCH(Place, place);
        QFETCH(QString, name);
        Views views;
        QCOMPARE(place.show(views, name), name);
    }

    // A legal name of 2 MB is cut before any view lays it out.
    void hugeNamesAreCut_data()
    {
        QTest::addColumn<Place>("place");
        QTest::addColumn<QString>("name");
        const QStringList names{u'a' + QString(1'000'000, QChar(0x0301)), QStringLiteral("😀").repeated(1'000'000)};
        for (const auto &[view, place] : places())
            for (qsizetype i = 0; i < names.size(); ++i)
                QTest::addRow("%s: %s", view, i == 0 ? "one letter under a million marks" : "a million emoji")
                    << place << names.at(i);
    }

    void hugeNamesAreCut()
    {
        QFETCH(Place, place);
        QFETCH(QString, name);
        Views views;
        const QString shown = place.show(views, name);
        QVERIFY(!shown.isEmpty());
        QVERIFY2(shown.size() <= 4'001, qPrintable(QString::number(shown.size())));
    }
};

QTEST_MAIN(TestPlainTextNames)
#include "tst_plaintextnames.moc"
