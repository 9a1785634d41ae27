#include "platform/x11/X11KeySender.h"

#include "async/Sleep.h"
#include "model/KeyCodes.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11KeyTable.h"
#include "platform/x11/X11Windows.h"

#include <QStringList>
#include <cstdlib>
#include <memory>
#include <utility>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

namespace vima {
namespace {

constexpr double modifierWait = 1.0;
constexpr double modifierPoll = 0.02;

constexpr xcb_keysym_t controlKey = 0xffe3; // Control_L
constexpr xcb_keysym_t shiftKey = 0xffe1;   // Shift_L
constexpr xcb_keysym_t numLockKey = 0xff7f;
constexpr xcb_keysym_t letterC = 0x63;
constexpr xcb_keysym_t letterV = 0x76;
constexpr xcb_window_t pointerRoot = 1;

// Windows whose Ctrl+C and Ctrl+V are no copy and paste: terminals that copy
// through the mouse and PRIMARY alone, Emacs (a pending C-c prefix), Vim (the
// end of Visual or Insert mode) and Xaw's text programs (no copy key).
const QStringList keylessClasses{
    QStringLiteral("xterm"), QStringLiteral("uxterm"),  QStringLiteral("urxvt"),    QStringLiteral("rxvt"),
    QStringLiteral("emacs"), QStringLiteral("gvim"),    QStringLiteral("xedit"),    QStringLiteral("xmessage"),
    QStringLiteral("xman"),  QStringLiteral("xconsole"), QStringLiteral("xfontsel"),
};
const QStringList terminalClasses{
    QStringLiteral("konsole"),        QStringLiteral("gnome-terminal"),
    QStringLiteral("gnome-terminal-server"), QStringLiteral("org.gnome.console"), QStringLiteral("kgx"),
    QStringLiteral("xfce4-terminal"), QStringLiteral("mate-terminal"),  QStringLiteral("lxterminal"),
    QStringLiteral("qterminal"),      QStringLiteral("terminator"),     QStringLiteral("tilix"),
    QStringLiteral("alacritty"),      QStringLiteral("kitty"),          QStringLiteral("wezterm"),
    QStringLiteral("org.wezfurlong.wezterm"), QStringLiteral("foot"),   QStringLiteral("st"),
    QStringLiteral("st-256color"),    QStringLiteral("sakura"),         QStringLiteral("terminology"),
    QStringLiteral("guake"),          QStringLiteral("tilda"),          QStringLiteral("yakuake"),
    QStringLiteral("cool-retro-term"), QStringLiteral("ghostty"),       QStringLiteral("com.mitchellh.ghostty"),
};

struct KeySymbols {
    explicit KeySymbols(xcb_connection_t *connection) : table(xcb_key_symbols_alloc(connection)) {}
    ~KeySymbols() { xcb_key_symbols_free(table); }
    KeySymbols(const KeySymbols &) = delete;
    KeySymbols &operator=(const KeySymbols &) = delete;

    xcb_keycode_t code(xcb_keysym_t symbol) const
    {
        std::unique_ptr<xcb_keycode_t, decltype(&std::free)> codes(xcb_key_symbols_get_keycode(table, symbol),
                                                                   &std::free);
        return codes ? codes.get()[0] : XCB_NO_SYMBOL;
    }

    xcb_key_symbols_t *table;
};

constexpr std::pair<quint64, xcb_keysym_t> modifierKeys[] = {
    {modifiers::control, controlKey},
    {modifiers::shift, shiftKey},
    {modifiers::option, 0xffe9}, // Alt_L
    {modifiers::command, 0xffeb}, // Super_L
};

// Latin-1 characters are their own keysyms; the rest of Unicode is offset.
xcb_keysym_t keysymOf(const QString &character)
{
    const char32_t point = character.toUcs4().value(0);
    return point < 0x100 ? xcb_keysym_t(point) : xcb_keysym_t(0x01000000 | point);
}

void fake(xcb_connection_t *connection, uint8_t type, xcb_keycode_t code)
{
    xcb_test_fake_input(connection, type, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
}

// A window that was closed is destroyed, or (Qt hides a closed window) left
// unmapped outside the window manager's list; a minimised one stays in it.
bool isOpen(xcb_connection_t *connection, xcb_window_t window)
{
    std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr),
        &std::free);
    if (!attributes)
        return false;
    return attributes->map_state == XCB_MAP_STATE_VIEWABLE || x11::clientWindows().contains(window);
}

} // namespace

X11KeySender::X11KeySender(Scheduler &scheduler) : scheduler_(scheduler) {}

KeySender::Keys X11KeySender::keysFor(const QStringList &windowClass)
{
    Keys keys = Keys::editor;
    for (const QString &name : windowClass) {
        if (keylessClasses.contains(name.toLower()))
            return Keys::none;
        if (terminalClasses.contains(name.toLower()))
            keys = Keys::terminal;
    }
    return keys;
}

KeySender::Keys X11KeySender::keysOf(const std::optional<RunningApplication> &target) const
{
    if (target && !target->windowClasses.isEmpty())
        return keysFor(target->windowClasses);
    const xcb_window_t window = target && target->window != XCB_NONE ? target->window : x11::activeWindow();
    return keysFor(x11::stringsProperty(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING));
}

KeySender::Focus X11KeySender::focusOf(const RunningApplication &target) const
{
    xcb_connection_t *connection = x11::connection();
    if (!connection)
        return Focus::elsewhere;
    if (target.window != XCB_NONE && !isOpen(connection, target.window))
        return Focus::targetClosed;
    std::unique_ptr<xcb_get_input_focus_reply_t, decltype(&std::free)> focus(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr), &std::free);
    if (!focus)
        return Focus::elsewhere;
    // The focus may sit on a window inside the target's, never above it; a
    // tree is never deeper than this.
    xcb_window_t window = focus->focus;
    for (int depth = 0; depth < 64 && window != XCB_NONE && window != pointerRoot; ++depth) {
        const bool inTarget = target.window != XCB_NONE ? window == target.window
                                                        : target.pid > 0 && x11::windowProcess(window) == target.pid;
        if (inTarget)
            return Focus::inTarget;
        std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
            xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr), &std::free);
        if (!tree || tree->parent == tree->root || window == tree->root)
            break;
        window = tree->parent;
    }
    return Focus::elsewhere;
}

QList<xcb_keycode_t> X11KeySender::heldModifiers(xcb_connection_t *connection) const
{
    std::unique_ptr<xcb_get_modifier_mapping_reply_t, decltype(&std::free)> mapping(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr), &std::free);
    std::unique_ptr<xcb_query_keymap_reply_t, decltype(&std::free)> keymap(
        xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr), &std::free);
    if (!mapping || !keymap)
        return {};
    const KeySymbols symbols(connection);
    const xcb_keycode_t numLock = symbols.code(numLockKey);
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    QList<xcb_keycode_t> held;
    for (int modifier = 0; modifier < 8; ++modifier) {
        if (modifier == XCB_MAP_INDEX_LOCK)
            continue; // Caps Lock is a toggle, not a held key
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t code = codes[modifier * perModifier + i];
            if (code != 0 && code != numLock && (keymap->keys[code / 8] & (1 << (code % 8))))
                held.append(code);
        }
    }
    return held;
}

QCoro::Task<void> X11KeySender::waitForModifiersUp(xcb_connection_t *connection)
{
    const double deadline = scheduler_.now() + modifierWait;
    while (!heldModifiers(connection).isEmpty() && scheduler_.now() < deadline)
        co_await settle(modifierPoll, scheduler_);
}

QCoro::Task<bool> X11KeySender::press(std::function<QList<xcb_keycode_t>(xcb_connection_t *)> chord)
{
    xcb_connection_t *connection = x11::connection();
    if (!connection)
        co_return false;
    const xcb_query_extension_reply_t *xtest = xcb_get_extension_data(connection, &xcb_test_id);
    if (!xtest || !xtest->present)
        co_return false;
    // While the ring holds the keyboard, the shortcut would go to the ring.
    xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
    xcb_flush(connection);
    co_await waitForModifiersUp(connection);

    const QList<xcb_keycode_t> codes = chord(connection);
    if (codes.isEmpty())
        co_return false;
    for (const xcb_keycode_t code : codes)
        fake(connection, XCB_KEY_PRESS, code);
    for (auto it = codes.crbegin(); it != codes.crend(); ++it)
        fake(connection, XCB_KEY_RELEASE, *it);
    xcb_flush(connection);
    co_return true;
}

QCoro::Task<bool> X11KeySender::send(Shortcut shortcut)
{
    return press([shortcut](xcb_connection_t *connection) -> QList<xcb_keycode_t> {
        const KeySymbols symbols(connection);
        const Keys keys = keysFor(x11::stringsProperty(x11::activeWindow(), XCB_ATOM_WM_CLASS, XCB_ATOM_STRING));
        if (keys == Keys::none)
            return {};
        const bool terminal = keys == Keys::terminal;
        const xcb_keycode_t control = symbols.code(controlKey);
        const xcb_keycode_t shift = symbols.code(shiftKey);
        const xcb_keycode_t letter = symbols.code(shortcut == Shortcut::copy ? letterC : letterV);
        if (control == XCB_NO_SYMBOL || letter == XCB_NO_SYMBOL || (terminal && shift == XCB_NO_SYMBOL))
            return {};
        QList<xcb_keycode_t> codes{control};
        if (terminal)
            codes.append(shift);
        codes.append(letter);
        return codes;
    });
}

QCoro::Task<bool> X11KeySender::sendChord(KeyChord chord)
{
    return press([chord](xcb_connection_t *connection) -> QList<xcb_keycode_t> {
        const KeySymbols symbols(connection);
        xcb_keycode_t key = XCB_NO_SYMBOL;
        quint64 flags = chord.modifierFlags;
        if (const auto *code = std::get_if<quint32>(&chord.key)) {
            key = x11::keycode(*code).value_or(XCB_NO_SYMBOL);
        } else {
            const xcb_keysym_t symbol = keysymOf(std::get<QString>(chord.key));
            key = symbols.code(symbol);
            // A character on the shifted level ("T", "?") needs Shift held.
            if (key != XCB_NO_SYMBOL && xcb_key_symbols_get_keysym(symbols.table, key, 0) != symbol)
                flags |= modifiers::shift;
        }
        if (key == XCB_NO_SYMBOL)
            return {};
        QList<xcb_keycode_t> codes;
        for (const auto &[flag, symbol] : modifierKeys) {
            if (!(flags & flag))
                continue;
            const xcb_keycode_t modifier = symbols.code(symbol);
            if (modifier == XCB_NO_SYMBOL)
                return {};
            codes.append(modifier);
        }
        codes.append(key);
        return codes;
    });
}

} // namespace vima
