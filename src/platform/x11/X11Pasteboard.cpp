#include "platform/x11/X11Pasteboard.h"

#include "platform/ClipboardKeepRule.h"
#include "platform/x11/ReadOffThread.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11SelectionReader.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <xcb/xcb.h>

namespace vima {
namespace {

constexpr qint64 snapshotTimeoutMs = 2000;
constexpr qint64 textTimeoutMs = 500;

// The X targets that Qt serves from its "text/plain" format.
bool isPlainTextTarget(const QString &target)
{
    return target == QLatin1String("UTF8_STRING") || target == QLatin1String("STRING")
           || target == QLatin1String("TEXT") || target == QLatin1String("text/plain");
}

// Qt offers each MIME format under the X target of the same name (and
// "text/plain" also as UTF8_STRING, STRING and TEXT), so the saved targets
// go back under their own names.
QMimeData *mimeDataFor(const PasteboardSnapshot::Item &item)
{
    auto *data = new QMimeData;
    QByteArray plainText;
    for (const auto &[target, bytes] : item) {
        if (!isPlainTextTarget(target)) {
            data->setData(target, bytes);
        } else if (target == QLatin1String("UTF8_STRING") || plainText.isNull()) {
            plainText = target == QLatin1String("STRING") ? QString::fromLatin1(bytes).toUtf8() : bytes;
        }
    }
    if (!plainText.isNull())
        data->setData(QStringLiteral("text/plain"), plainText);
    return data;
}

// What Qt serves for contents Tavelon copied itself (a result's Copy): each
// format under its own name, and a text also under the names of X's own.
PasteboardSnapshot::Item itemOf(const QMimeData &data)
{
    PasteboardSnapshot::Item item;
    for (const QString &format : data.formats()) {
        // Qt's own formats, which it converts on request.
        if (format.startsWith(QLatin1String("application/x-qt-")))
            continue;
        const QByteArray bytes = data.data(format);
        item.append({format, bytes});
        if (format != QLatin1String("text/plain"))
            continue;
        const QByteArray latin1 = QString::fromUtf8(bytes).toLatin1();
        item.append({QStringLiteral("UTF8_STRING"), bytes});
        item.append({QStringLiteral("STRING"), latin1});
        item.append({QStringLiteral("TEXT"), latin1});
    }
    return item;
}

} // namespace

X11Pasteboard::X11Pasteboard(QObject *parent) : QObject(parent), handover_([this] { return held(); })
{
    connect(QGuiApplication::clipboard(), &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard)
            ++changes_;
    });
    QCoreApplication::instance()->installNativeEventFilter(this);
    QCoreApplication::instance()->installEventFilter(&handover_);
}

X11Pasteboard::~X11Pasteboard()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

QCoro::Task<SelectionRead<PasteboardSnapshot>> X11Pasteboard::capture(CancellationToken token)
{
    const auto read = [](const std::atomic_bool &abort) {
        SelectionRead<PasteboardSnapshot> snapshot = X11SelectionReader(&abort).snapshot(
            "CLIPBOARD", QDeadlineTimer(snapshotTimeoutMs), largestClipboardSnapshot);
        // What could be put back but not kept past a quit is refused now.
        const auto refusal = snapshot.value && !snapshot.value->isEmpty()
                                 ? clipboardKeepRefusal(snapshot.value->items.first())
                                 : std::nullopt;
        return refusal ? SelectionRead<PasteboardSnapshot>{*refusal, std::nullopt} : snapshot;
    };
    co_return co_await x11::readOffThread<SelectionRead<PasteboardSnapshot>>(read, std::move(token));
}

void X11Pasteboard::restore(const PasteboardSnapshot &snapshot)
{
    handover_.setLent(false);
    if (snapshot.isEmpty()) {
        QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
        return;
    }
    // X11 holds one item per selection.
    QMimeData *data = mimeDataFor(snapshot.items.first());
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    restored_ = snapshot.items.first();
    restoredData_ = data;
    // Once Qt lets go of them, they are no longer Tavelon's to keep.
    connect(data, &QObject::destroyed, this, [this] {
        if (!restoredData_)
            restored_.clear();
    });
}

PasteboardSnapshot::Item X11Pasteboard::held() const
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (!data)
        return {};
    if (data == restoredData_)
        return restored_;
    return itemOf(*data);
}

void X11Pasteboard::clear()
{
    handover_.setLent(true);
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}

void X11Pasteboard::setText(const QString &text)
{
    handover_.setLent(true);
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

QCoro::Task<SelectionRead<QString>> X11Pasteboard::text(CancellationToken token)
{
    const auto read = [](const std::atomic_bool &abort) {
        return X11SelectionReader(&abort).text("CLIPBOARD", QDeadlineTimer(textTimeoutMs), largestSelectionText);
    };
    co_return co_await x11::readOffThread<SelectionRead<QString>>(read, std::move(token));
}

std::optional<bool> X11Pasteboard::isOwnedBy(const RunningApplication &app) const
{
    // Asks only the server, never the owner: this cannot hang.
    return X11SelectionReader().isOwnedBy("CLIPBOARD", app);
}

bool X11Pasteboard::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_SELECTION_REQUEST)
        return false;
    const auto *request = reinterpret_cast<const xcb_selection_request_event_t *>(event);
    if (request->selection == x11::atom("CLIPBOARD"))
        ++requests_;
    return false; // Qt still answers it
}

} // namespace vima
