// bad_selection_owner SELECTION MODE: takes the selection (CLIPBOARD or
// PRIMARY) as a misbehaving program would, prints "owner", and until its
// standard input closes either never answers a request ("silent"), answers
// each with a transfer in chunks that never ends ("endless"), or refuses each
// ("empty", as a GtkEntry that holds no selection does).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

xcb_atom_t intern(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return atom;
}

struct Transfer {
    xcb_window_t requestor = XCB_NONE;
    xcb_atom_t property = XCB_NONE;
    xcb_atom_t target = XCB_NONE;
};

// Tells the requestor that the data is in `property`; none: refused.
void notify(xcb_connection_t *connection, const xcb_selection_request_event_t *request, xcb_atom_t property)
{
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request->time;
    notify.requestor = request->requestor;
    notify.selection = request->selection;
    notify.target = request->target;
    notify.property = property;
    char event[32] = {};
    std::memcpy(event, &notify, sizeof(notify) < sizeof(event) ? sizeof(notify) : sizeof(event));
    xcb_send_event(connection, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT, event);
}

// Starts a transfer in chunks (INCR) for every request.
void beginEndless(xcb_connection_t *connection, const xcb_selection_request_event_t *request, xcb_atom_t incr,
                  Transfer &transfer)
{
    transfer = {request->requestor, request->property, request->target};
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection, request->requestor, XCB_CW_EVENT_MASK, &events);
    const uint32_t size = 1u << 30;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request->requestor, request->property, incr, 32, 1, &size);
    notify(connection, request, request->property);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bad_selection_owner CLIPBOARD|PRIMARY silent|endless|empty\n");
        return 2;
    }
    const bool endless = std::strcmp(argv[2], "endless") == 0;
    const bool empty = std::strcmp(argv[2], "empty") == 0;
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "cannot connect to the X server\n");
        return 1;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(connection, window, intern(connection, argv[1]), XCB_CURRENT_TIME);
    const xcb_atom_t incr = intern(connection, "INCR");
    xcb_flush(connection);
    std::printf("owner\n");
    std::fflush(stdout);

    const std::vector<char> chunk(1 << 20, 'x');
    Transfer transfer;
    for (;;) {
        pollfd descriptors[2] = {{STDIN_FILENO, POLLIN, 0}, {xcb_get_file_descriptor(connection), POLLIN, 0}};
        poll(descriptors, 2, -1);
        char byte = 0;
        if (descriptors[0].revents && read(STDIN_FILENO, &byte, 1) <= 0)
            break;
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            const uint8_t type = event->response_type & 0x7f;
            if (empty && type == XCB_SELECTION_REQUEST) {
                notify(connection, reinterpret_cast<xcb_selection_request_event_t *>(event), XCB_NONE);
            } else if (endless && type == XCB_SELECTION_REQUEST) {
                beginEndless(connection, reinterpret_cast<xcb_selection_request_event_t *>(event), incr, transfer);
            } else if (endless && type == XCB_PROPERTY_NOTIFY) {
                const auto *notify = reinterpret_cast<xcb_property_notify_event_t *>(event);
                if (notify->window == transfer.requestor && notify->atom == transfer.property
                    && notify->state == XCB_PROPERTY_DELETE)
                    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, transfer.requestor, transfer.property,
                                        transfer.target, 8, uint32_t(chunk.size()), chunk.data());
            }
            std::free(event);
        }
        xcb_flush(connection);
        if (xcb_connection_has_error(connection))
            break;
    }
    xcb_disconnect(connection);
    return 0;
}
