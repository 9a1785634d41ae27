// Presses a hotkey through XTest and times the first frame on screen that
// differs under the pointer: damage on the root window wakes the probe, and
// the pixel at the pointer decides. Between presses it dismisses with another
// key and waits for the screen to settle back.
//
//   latency_probe --presses N [--x X --y Y] [--pid P --rss-at 20,50,100]
//                 [--dismiss escape|hotkey] [--timeout MS]
//
// Prints "press I MS KEY_US" per press and "rss N KB" at the press counts asked for.
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr xcb_keysym_t altKeysym = 0xffe9;
constexpr xcb_keysym_t spaceKeysym = 0x20;
constexpr xcb_keysym_t escapeKeysym = 0xff1b;
constexpr uint32_t backgroundPixel = 0x808080; // a mid grey, so that any dimming or drawing shows

struct Options {
    int presses = 50;
    int16_t x = 500, y = 400;
    long pid = 0;
    std::set<int> rssAt;
    bool dismissWithHotkey = false;
    int timeoutMs = 2000;
};

Options parse(int argc, char **argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const std::string value = argv[i + 1];
        if (key == "--presses")
            options.presses = std::stoi(value);
        else if (key == "--x")
            options.x = int16_t(std::stoi(value));
        else if (key == "--y")
            options.y = int16_t(std::stoi(value));
        else if (key == "--pid")
            options.pid = std::stol(value);
        else if (key == "--dismiss")
            options.dismissWithHotkey = value == "hotkey";
        else if (key == "--timeout")
            options.timeoutMs = std::stoi(value);
        else if (key == "--rss-at") {
            std::stringstream list(value);
            for (std::string item; std::getline(list, item, ',');)
                options.rssAt.insert(std::stoi(item));
        }
    }
    return options;
}

long residentKb(long pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

class Probe {
public:
    explicit Probe(const Options &options) : options_(options)
    {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_)) {
            std::fputs("latency_probe: no X server\n", stderr);
            std::exit(1);
        }
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        root_ = screen_->root;
        std::unique_ptr<xcb_key_symbols_t, void (*)(xcb_key_symbols_t *)> symbols(xcb_key_symbols_alloc(connection_),
                                                                                  &xcb_key_symbols_free);
        alt_ = keycode(symbols.get(), altKeysym);
        space_ = keycode(symbols.get(), spaceKeysym);
        escape_ = keycode(symbols.get(), escapeKeysym);

        std::free(xcb_damage_query_version_reply(connection_, xcb_damage_query_version(connection_, 1, 1), nullptr));
        damageEvent_ = xcb_get_extension_data(connection_, &xcb_damage_id)->first_event + XCB_DAMAGE_NOTIFY;
        damage_ = xcb_generate_id(connection_);
        xcb_damage_create(connection_, damage_, root_, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);

        xcb_change_window_attributes(connection_, root_, XCB_CW_BACK_PIXEL, &backgroundPixel);
        xcb_clear_area(connection_, 0, root_, 0, 0, 0, 0);
        xcb_test_fake_input(connection_, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root_, options_.x, options_.y, 0);
        xcb_flush(connection_);
    }

    ~Probe() { xcb_disconnect(connection_); }

    void run()
    {
        settle();
        for (int press = 1; press <= options_.presses; ++press) {
            const uint32_t before = pixel();
            const Clock::time_point start = hotkey();
            const auto shown = waitUntil([&](uint32_t now) { return now != before; });
            // The moment of the key press, in microseconds of the monotonic
            // clock, lines up with the agent's latency log.
            const long long at =
                std::chrono::duration_cast<std::chrono::microseconds>(start.time_since_epoch()).count();
            if (shown)
                std::printf("press %d %.3f %lld\n", press,
                            std::chrono::duration<double, std::milli>(*shown - start).count(), at);
            else
                std::printf("press %d timeout\n", press);
            std::fflush(stdout);
            // Let the show animation end before dismissing, as a person would.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            if (options_.dismissWithHotkey)
                hotkey();
            else
                tap(escape_);
            waitUntil([&](uint32_t now) { return now == before; });
            settle();
            if (options_.pid && options_.rssAt.count(press))
                std::printf("rss %d %ld\n", press, residentKb(options_.pid));
        }
    }

private:
    static xcb_keycode_t keycode(xcb_key_symbols_t *symbols, xcb_keysym_t keysym)
    {
        std::unique_ptr<xcb_keycode_t, void (*)(void *)> codes(xcb_key_symbols_get_keycode(symbols, keysym),
                                                               &std::free);
        return codes ? codes.get()[0] : 0;
    }

    void key(uint8_t type, xcb_keycode_t code)
    {
        xcb_test_fake_input(connection_, type, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    }

    // Alt+Space, held and let go at once (a tap): the time the press leaves us.
    Clock::time_point hotkey()
    {
        key(XCB_KEY_PRESS, alt_);
        key(XCB_KEY_PRESS, space_);
        xcb_flush(connection_);
        const Clock::time_point pressed = Clock::now();
        key(XCB_KEY_RELEASE, space_);
        key(XCB_KEY_RELEASE, alt_);
        xcb_flush(connection_);
        return pressed;
    }

    void tap(xcb_keycode_t code)
    {
        key(XCB_KEY_PRESS, code);
        key(XCB_KEY_RELEASE, code);
        xcb_flush(connection_);
    }

    uint32_t pixel()
    {
        std::unique_ptr<xcb_get_image_reply_t, void (*)(void *)> image(
            xcb_get_image_reply(connection_,
                                xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, options_.x, options_.y, 1,
                                              1, ~0u),
                                nullptr),
            &std::free);
        if (!image || xcb_get_image_data_length(image.get()) < 3)
            return 0;
        uint32_t value = 0;
        std::memcpy(&value, xcb_get_image_data(image.get()), 3);
        return value;
    }

    // Reads the pixel after each report of damage until `done` holds; the
    // moment of the reading that satisfied it, or none on a timeout.
    template<typename Done>
    std::optional<Clock::time_point> waitUntil(Done done)
    {
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(options_.timeoutMs);
        if (done(pixel()))
            return Clock::now();
        while (Clock::now() < deadline) {
            xcb_generic_event_t *event = xcb_poll_for_event(connection_);
            if (!event) {
                std::this_thread::sleep_for(std::chrono::microseconds(100));
                continue;
            }
            const bool damaged = (event->response_type & 0x7f) == damageEvent_;
            std::free(event);
            if (!damaged)
                continue;
            xcb_damage_subtract(connection_, damage_, XCB_NONE, XCB_NONE);
            if (done(pixel()))
                return Clock::now();
        }
        return std::nullopt;
    }

    // Quiet for 150 ms: no damage left from the last dismissal.
    void settle()
    {
        Clock::time_point quietSince = Clock::now();
        const Clock::time_point deadline = quietSince + std::chrono::seconds(3);
        while (Clock::now() - quietSince < std::chrono::milliseconds(150) && Clock::now() < deadline) {
            if (xcb_generic_event_t *event = xcb_poll_for_event(connection_)) {
                if ((event->response_type & 0x7f) == damageEvent_) {
                    xcb_damage_subtract(connection_, damage_, XCB_NONE, XCB_NONE);
                    quietSince = Clock::now();
                }
                std::free(event);
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }
    }

    Options options_;
    xcb_connection_t *connection_ = nullptr;
    xcb_screen_t *screen_ = nullptr;
    xcb_window_t root_ = 0;
    xcb_damage_damage_t damage_ = 0;
    uint8_t damageEvent_ = 0;
    xcb_keycode_t alt_ = 0, space_ = 0, escape_ = 0;
};

} // namespace

int main(int argc, char **argv)
{
    Probe(parse(argc, argv)).run();
    return 0;
}
