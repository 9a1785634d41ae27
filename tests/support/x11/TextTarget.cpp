// A window with a text field, for end-to-end tests that read and write the
// selection of "another application". It prints "ready <window id>" once
// shown, then answers commands read from standard input, one per line:
//   text              -> "text <the field's text as a JSON string>"
//   set <JSON string> -> replaces the text, "ok"
//   select-all        -> selects everything, "ok"
//   copy-rich         -> puts a text and an image on the clipboard, "ok"
//   clear-clipboard   -> leaves the clipboard without an owner, "ok"
//   activate          -> asks to be the active window, "ok"
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

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

void run(QPlainTextEdit &field, const QByteArray &line)
{
    const qsizetype space = line.indexOf(' ');
    const QByteArray command = space < 0 ? line : line.left(space);
    const QByteArray argument = space < 0 ? QByteArray() : line.mid(space + 1);
    if (command == "text") {
        reply("text " + jsonString(field.toPlainText()));
        return;
    }
    if (command == "set") {
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
    QPlainTextEdit field;
    field.setWindowTitle(QStringLiteral("vima-text-target"));
    field.resize(420, 160);
    field.show();
    field.activateWindow();

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
            run(field, pending.left(end));
            pending.remove(0, end + 1);
        }
    });
    QTimer::singleShot(0, &field, [&] { reply("ready " + QByteArray::number(field.winId())); });
    return app.exec();
}
