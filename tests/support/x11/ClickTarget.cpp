// click_target NAME X Y WIDTH HEIGHT: an application named NAME (its
// WM_CLASS class) with one window. Prints "ready <window id>" once the window
// is painted, then "press <button> <x> <y>" and "release <button>" for each
// mouse button, in global coordinates, and "key <keys>" for each key pressed
// with the modifiers held ("key Ctrl+T", "key Alt+Home").
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QWidget>
#include <cstdio>

namespace {

void say(const QByteArray &line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

class Target : public QWidget {
protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!ready_)
            say("ready " + QByteArray::number(winId()));
        ready_ = true;
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        const QPoint at = event->globalPosition().toPoint();
        say("press " + QByteArray::number(button(event)) + ' ' + QByteArray::number(at.x()) + ' '
            + QByteArray::number(at.y()));
    }
    void mouseReleaseEvent(QMouseEvent *event) override { say("release " + QByteArray::number(button(event))); }
    void keyPressEvent(QKeyEvent *event) override
    {
        switch (event->key()) {
        case Qt::Key_Control:
        case Qt::Key_Shift:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
            return; // only the chord's key tells
        default:
            say("key " + QKeySequence(event->keyCombination()).toString(QKeySequence::PortableText).toUtf8());
        }
    }

private:
    static int button(const QMouseEvent *event)
    {
        switch (event->button()) {
        case Qt::LeftButton:
            return 1;
        case Qt::MiddleButton:
            return 2;
        case Qt::RightButton:
            return 3;
        default:
            return 0;
        }
    }

    bool ready_ = false;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6) {
        std::fprintf(stderr, "usage: click_target NAME X Y WIDTH HEIGHT\n");
        return 2;
    }
    QApplication::setApplicationName(args.at(1));
    Target target;
    target.setFocusPolicy(Qt::StrongFocus);
    target.setWindowTitle(args.at(1));
    target.setGeometry(args.at(2).toInt(), args.at(3).toInt(), args.at(4).toInt(), args.at(5).toInt());
    target.show();
    return app.exec();
}
