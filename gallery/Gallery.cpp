#include "Gallery.h"

#include "GalleryRun.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <utility>

namespace vima::gallery {

namespace {

struct Entry {
    QString area;
    std::function<void()> draw;
};

QList<Entry> &entries()
{
    static QList<Entry> registered;
    return registered;
}

QString &outputFolder()
{
    static QString folder;
    return folder;
}

QString &themeName()
{
    static QString name;
    return name;
}

// Lets queued layout and paint work run without a nested loop of our own
// waiting on anything: a fixed short slice of the event loop.
void settle()
{
    for (int round = 0; round < 5; ++round)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

QString picturePath(const QString &name, const QString &theme)
{
    return QDir(outputFolder()).filePath(name + QLatin1Char('-') + (theme.isEmpty() ? themeName() : theme)
                                         + QStringLiteral(".png"));
}

void write(const QPixmap &picture, const QString &path)
{
    if (!picture.save(path))
        qWarning("Could not write %s", qPrintable(path));
}

} // namespace

Pictures::Pictures(const char *area, std::function<void()> draw)
{
    entries().append({QString::fromUtf8(area), std::move(draw)});
}

void save(QWidget &widget, const QString &name, const QString &theme)
{
    widget.show();
    settle();
    write(widget.grab(), picturePath(name, theme));
}

void saveScreen(const QString &name)
{
    // No settling: a pop-up would close as the window system moves focus.
    // Pending layouts are done, though: a window caught half laid out draws
    // its rows on top of each other.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QPixmap picture(screen.size());
    picture.fill(Qt::darkGray);
    QPainter painter(&picture);
    QList<QWidget *> shown;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible())
            shown.append(window);
    // Pop-ups on top, as the window system stacks them.
    std::stable_partition(shown.begin(), shown.end(), [](QWidget *window) { return window->windowType() != Qt::Popup; });
    for (QWidget *window : shown)
        painter.drawPixmap(window->geometry().topLeft() - screen.topLeft(), window->grab());
    painter.end();
    write(picture, picturePath(name, {}));
}

int runAll(const QString &folder, const QString &theme, const QStringList &areas)
{
    outputFolder() = folder;
    themeName() = theme;
    QDir().mkpath(folder);
    int drawn = 0;
    for (const Entry &entry : std::as_const(entries())) {
        if (!areas.isEmpty() && !areas.contains(entry.area))
            continue;
        entry.draw();
        settle();
        ++drawn;
    }
    return drawn;
}

QStringList areas()
{
    QStringList names;
    for (const Entry &entry : std::as_const(entries()))
        if (!names.contains(entry.area))
            names.append(entry.area);
    return names;
}

} // namespace vima::gallery
