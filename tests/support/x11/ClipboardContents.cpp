#include "ClipboardContents.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <cstdlib>
#include <poll.h>
#include <xcb/xcb.h>

namespace clipboard_contents {

Output runTool(const QString &program, const QStringList &arguments, const QByteArray &input)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    const QDeadlineTimer deadline(10000);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired())
        QTest::qWait(5);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput()};
}

QMap<QString, QByteArray> read()
{
    const Output targets = runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", "TARGETS"});
    QMap<QString, QByteArray> contents;
    if (targets.exitCode != 0)
        return contents;
    const QStringList protocol{"TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS"};
    for (const QString &target : QString::fromUtf8(targets.out).split(u'\n', Qt::SkipEmptyParts)) {
        if (!protocol.contains(target))
            contents.insert(target, runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", target}).out);
    }
    return contents;
}

QStringList changesSince(const QMap<QString, QByteArray> &before, const QMap<QString, QByteArray> &now)
{
    if (before.keys() != now.keys())
        return {QStringLiteral("formats %1 -> %2").arg(before.keys().join(u' '), now.keys().join(u' '))};
    QStringList changed;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const QByteArray &after = now.value(it.key());
        if (after == it.value())
            continue;
        const bool image = it.key().startsWith(QLatin1String("image/"));
        if (!image || QImage::fromData(after) != QImage::fromData(it.value()) || QImage::fromData(after).isNull())
            changed.append(it.key());
    }
    return changed;
}

} // namespace clipboard_contents

namespace clipboard_contents {
namespace {

constexpr uint32_t pieceWords = 1024;

struct Requestor {
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    xcb_window_t window = XCB_NONE;
    QDeadlineTimer deadline{20000};

    ~Requestor() { xcb_disconnect(connection); }

    xcb_atom_t atom(const char *name)
    {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : XCB_NONE;
        std::free(reply);
        return atom;
    }

    // The next event of `type`; null once the deadline has passed.
    xcb_generic_event_t *next(uint8_t type)
    {
        while (!deadline.hasExpired() && !xcb_connection_has_error(connection)) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
                if ((event->response_type & 0x7f) == type)
                    return event;
                std::free(event);
            }
            pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
            poll(&descriptor, 1, 50);
        }
        return nullptr;
    }

    // The property's whole value, asked for a piece at a time; its type in `type`.
    QByteArray take(xcb_atom_t property, xcb_atom_t &type)
    {
        QByteArray value;
        for (uint32_t offset = 0;; offset += pieceWords) {
            xcb_get_property_reply_t *piece = xcb_get_property_reply(
                connection,
                xcb_get_property(connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, offset, pieceWords),
                nullptr);
            if (!piece)
                return value;
            type = piece->type;
            value.append(static_cast<const char *>(xcb_get_property_value(piece)),
                         xcb_get_property_value_length(piece));
            const bool last = piece->bytes_after == 0;
            std::free(piece);
            if (last)
                break;
        }
        xcb_delete_property(connection, window, property);
        xcb_flush(connection);
        return value;
    }
};

} // namespace

Pieces readInPieces(const char *target)
{
    Requestor requestor;
    Pieces pieces;
    if (xcb_connection_has_error(requestor.connection))
        return pieces;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(requestor.connection)).data;
    requestor.window = xcb_generate_id(requestor.connection);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(requestor.connection, XCB_COPY_FROM_PARENT, requestor.window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    const xcb_atom_t property = requestor.atom("PIECES");
    xcb_convert_selection(requestor.connection, requestor.window, requestor.atom("CLIPBOARD"),
                          requestor.atom(target), property, XCB_CURRENT_TIME);
    xcb_flush(requestor.connection);
    xcb_generic_event_t *notify = requestor.next(XCB_SELECTION_NOTIFY);
    const bool refused = !notify || reinterpret_cast<xcb_selection_notify_event_t *>(notify)->property == XCB_NONE;
    std::free(notify);
    if (refused)
        return pieces;
    xcb_atom_t type = XCB_NONE;
    pieces.data = requestor.take(property, type);
    if (type != requestor.atom("INCR")) {
        pieces.complete = true;
        return pieces;
    }
    pieces.data.clear();
    for (;;) {
        xcb_generic_event_t *event = requestor.next(XCB_PROPERTY_NOTIFY);
        if (!event)
            return pieces;
        const auto *change = reinterpret_cast<xcb_property_notify_event_t *>(event);
        const bool chunk = change->atom == property && change->state == XCB_PROPERTY_NEW_VALUE;
        std::free(event);
        if (!chunk)
            continue;
        const QByteArray bytes = requestor.take(property, type);
        if (bytes.isEmpty()) {
            pieces.complete = true;
            return pieces;
        }
        pieces.data.append(bytes);
        ++pieces.chunks;
    }
}

} // namespace clipboard_contents
