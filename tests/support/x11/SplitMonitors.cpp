// split_monitors NAME X Y WIDTH HEIGHT [NAME X Y WIDTH HEIGHT ...]
// split_monitors --join NAME...
// Splits the X screen into RandR 1.5 monitors, as a desktop with several
// monitors on one X screen has them (Qt makes a QScreen of each), or takes
// the named monitors away again. The first monitor takes over the screen's
// output, so the output's own monitor, which spans the whole screen, is gone
// while the split holds. The requests are written by hand: the extension's
// xcb header is no build dependency.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/uio.h>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

namespace {

constexpr uint8_t getMonitors = 42;
constexpr uint8_t setMonitor = 43;
constexpr uint8_t deleteMonitor = 44;

struct Randr {
    xcb_connection_t *connection;
    xcb_window_t root;
    uint8_t opcode;

    // Sends one request of `words`, whose first is the header: xcb writes
    // the opcode and the length there. The sequence number.
    unsigned send(std::vector<uint32_t> words, uint8_t minor, bool isVoid) const
    {
        reinterpret_cast<uint8_t *>(words.data())[1] = minor;
        iovec parts[3] = {};
        parts[2] = {words.data(), words.size() * sizeof(uint32_t)};
        const xcb_protocol_request_t request{1, nullptr, opcode, isVoid};
        return xcb_send_request(connection, XCB_REQUEST_CHECKED, parts + 2, &request);
    }

    bool succeeded(unsigned sequence) const
    {
        xcb_generic_error_t *error = xcb_request_check(connection, xcb_void_cookie_t{sequence});
        if (error)
            std::fprintf(stderr, "X error %d\n", error->error_code);
        std::free(error);
        return !error;
    }

    xcb_atom_t atom(const char *name) const
    {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(connection,
                                  xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
                                  nullptr),
            &std::free);
        return reply ? reply->atom : XCB_NONE;
    }

    // The output behind the screen's own monitor, or none.
    uint32_t screenOutput() const
    {
        const unsigned sequence = send({0, root, 1 /* active only */}, getMonitors, false);
        std::unique_ptr<uint8_t, decltype(&std::free)> reply(
            static_cast<uint8_t *>(xcb_wait_for_reply(connection, sequence, nullptr)), &std::free);
        if (!reply)
            return 0;
        uint32_t count = 0;
        std::memcpy(&count, reply.get() + 12, sizeof count);
        const uint8_t *monitor = reply.get() + 32;
        for (uint32_t i = 0; i < count && i < 64; ++i) {
            uint16_t outputs = 0;
            std::memcpy(&outputs, monitor + 6, sizeof outputs);
            uint32_t output = 0;
            if (outputs > 0) {
                std::memcpy(&output, monitor + 24, sizeof output);
                return output;
            }
            monitor += 24 + 4 * outputs;
        }
        return 0;
    }

    bool set(const char *name, int x, int y, int width, int height, uint32_t output) const
    {
        const auto pair = [](int low, int high) { return uint32_t(uint16_t(low)) | uint32_t(uint16_t(high)) << 16; };
        // Primary (first byte) and with one output (upper half) when it takes
        // the screen's output; never automatic. Millimetres at 96 dpi.
        std::vector<uint32_t> words{0, root, atom(name), output ? pair(1, 1) : 0, pair(x, y), pair(width, height),
                                    uint32_t(width * 254 / 960), uint32_t(height * 254 / 960)};
        if (output)
            words.push_back(output);
        return succeeded(send(words, setMonitor, true));
    }

    bool remove(const char *name) const { return succeeded(send({0, root, atom(name)}, deleteMonitor, true)); }
};

} // namespace

int main(int argc, char **argv)
{
    const bool join = argc > 1 && std::strcmp(argv[1], "--join") == 0;
    if (argc < 2 || (!join && (argc - 1) % 5 != 0)) {
        std::fprintf(stderr, "usage: split_monitors NAME X Y WIDTH HEIGHT ... | --join NAME...\n");
        return 2;
    }
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "cannot connect to the X server\n");
        return 1;
    }
    std::unique_ptr<xcb_query_extension_reply_t, decltype(&std::free)> extension(
        xcb_query_extension_reply(connection, xcb_query_extension(connection, 5, "RANDR"), nullptr), &std::free);
    if (!extension || !extension->present) {
        std::fprintf(stderr, "no RandR\n");
        return 1;
    }
    const Randr randr{connection, xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root,
                      extension->major_opcode};
    bool done = true;
    if (join) {
        for (int i = 2; i < argc; ++i)
            done = randr.remove(argv[i]) && done;
    } else {
        uint32_t output = randr.screenOutput();
        for (int i = 1; i + 4 < argc; i += 5) {
            done = randr.set(argv[i], std::atoi(argv[i + 1]), std::atoi(argv[i + 2]), std::atoi(argv[i + 3]),
                             std::atoi(argv[i + 4]), output) &&
                   done;
            output = 0;
        }
    }
    xcb_disconnect(connection);
    return done ? 0 : 1;
}
