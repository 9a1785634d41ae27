// hung_clipboard_owner: takes the CLIPBOARD selection as a program that then
// stops answering would, prints "owner", and never serves a request until
// its standard input closes.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

int main()
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "cannot connect to the X server\n");
        return 1;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const char *name = "CLIPBOARD";
    xcb_intern_atom_reply_t *clipboard = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    xcb_set_selection_owner(connection, window, clipboard->atom, XCB_CURRENT_TIME);
    std::free(clipboard);
    xcb_flush(connection);
    std::printf("owner\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    xcb_disconnect(connection);
    return 0;
}
