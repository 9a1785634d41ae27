// A window with a text field, for end-to-end tests that read and write the
// selection of "another application". It prints "ready <window id>" once
// shown, then answers commands read from standard input, one per line:
//   text              -> "text <the field's text as a JSON string>"
//   set <JSON string> -> replaces the text, "ok"
//   select-all        -> selects everything, "ok"
//   copy-rich         -> puts a text and an image on the clipboard, "ok"
//   copy-large <MB>   -> puts a text of that many megabytes on the clipboard
//                        (Qt offers it under four names), "ok"
//   clear-clipboard   -> leaves the clipboard without an owner, "ok"
//   activate          -> asks to be the active window, "ok"
//   open-second       -> opens a second window with a field of its own, "ok"
//   use <1|2>         -> later commands work on that window's field, "ok"
//   window            -> "window <id of the field's window>"
//   claim-pid <pid>   -> names another process in _NET_WM_PID of both
//                        windows, as a sandboxed program's windows do, "ok"
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

void reply(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QByteArray jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QString fromJsonString(const QByteArray &json)
{
    return QJsonDocument::fromJson("[" + json + "]").array().at(0).toString();
}

QPlainTextEdit *makeField(const QString &title)
{
    auto *field = new QPlainTextEdit;
    field->setWindowTitle(title);
    field->resize(420, 160);
    field->show();
    field->activateWindow();
    return field;
}

void claimPid(const QList<QPlainTextEdit *> &fields, uint32_t pid)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11->connection();
    const char name[] = "_NET_WM_PID";
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
    for (QPlainTextEdit *field : fields) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(field->winId()), atom->atom,
                            XCB_ATOM_CARDINAL, 32, 1, &pid);
    }
    std::free(atom);
    xcb_flush(connection);
}

struct Target {
    QList<QPlainTextEdit *> fields;
    QPlainTextEdit *field = nullptr;
};

// Numbered lines: a chunk out of place shows.
QString largeText(int megabytes)
{
    QByteArray text;
    text.reserve(megabytes << 20);
    for (int line = 0; text.size() < (megabytes << 20); ++line)
        text.append(QByteArray::number(line).rightJustified(8, '0') + " the quick brown fox\n");
    return QString::fromLatin1(text.left(megabytes << 20));
}

void run(Target &target, const QByteArray &line)
{
    QPlainTextEdit &field = *target.field;
    const qsizetype space = line.indexOf(' ');
    const QByteArray command = space < 0 ? line : line.left(space);
    const QByteArray argument = space < 0 ? QByteArray() : line.mid(space + 1);
    if (command == "text") {
        reply("text " + jsonString(field.toPlainText()));
        return;
    }
    if (command == "window") {
        reply("window " + QByteArray::number(field.winId()));
        return;
    }
    if (command == "open-second" && target.fields.size() == 1) {
        target.fields.append(makeField(QStringLiteral("vima-text-target-2")));
    } else if (command == "use" && argument.toInt() >= 1 && argument.toInt() <= target.fields.size()) {
        target.field = target.fields.at(argument.toInt() - 1);
    } else if (command == "claim-pid") {
        claimPid(target.fields, argument.toUInt());
    } else if (command == "set") {
        field.setPlainText(fromJsonString(argument));
    } else if (command == "select-all") {
        field.selectAll();
    } else if (command == "copy-rich") {
        auto *data = new QMimeData;
        data->setText(QStringLiteral("copied earlier"));
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        data->setImageData(image);
        QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    } else if (command == "copy-large") {
        QGuiApplication::clipboard()->setText(largeText(argument.toInt()), QClipboard::Clipboard);
    } else if (command == "clear-clipboard") {
        QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
    } else if (command == "activate") {
        field.activateWindow();
        field.raise();
    } else {
        reply("unknown " + command);
        return;
    }
    reply("ok");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Target target;
    target.field = makeField(QStringLiteral("vima-text-target"));
    target.fields.append(target.field);

    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[4096];
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) {
            app.quit();
            return;
        }
        pending.append(buffer, count);
        while (pending.contains('\n')) {
            const qsizetype end = pending.indexOf('\n');
            run(target, pending.left(end));
            pending.remove(0, end + 1);
        }
    });
    QTimer::singleShot(0, target.field, [&] { reply("ready " + QByteArray::number(target.field->winId())); });
    const int status = app.exec();
    qDeleteAll(target.fields);
    return status;
}
