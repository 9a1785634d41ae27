// grab_key KEYCODE MODIFIERS: grabs the combination on the root window as
// another application would, prints "grabbed" or "refused <X error>", and
// keeps the grab until its standard input closes.
#include <cstdio>
#include <cstdlib>
#include <xcb/xcb.h>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: grab_key KEYCODE MODIFIERS\n");
        return 2;
    }
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "cannot connect to the X server\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const auto keycode = static_cast<xcb_keycode_t>(std::atoi(argv[1]));
    const auto modifiers = static_cast<uint16_t>(std::atoi(argv[2]));
    const auto cookie = xcb_grab_key_checked(connection, 1, root, modifiers, keycode, XCB_GRAB_MODE_ASYNC,
                                             XCB_GRAB_MODE_ASYNC);
    if (xcb_generic_error_t *error = xcb_request_check(connection, cookie)) {
        std::printf("refused %d\n", error->error_code);
        std::free(error);
    } else {
        std::printf("grabbed\n");
    }
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    xcb_disconnect(connection);
    return 0;
}
