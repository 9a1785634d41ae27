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

const QStringList terminalClasses{
    QStringLiteral("xterm"),          QStringLiteral("uxterm"),         QStringLiteral("urxvt"),
    QStringLiteral("rxvt"),           QStringLiteral("konsole"),        QStringLiteral("gnome-terminal"),
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

} // namespace

X11KeySender::X11KeySender(Scheduler &scheduler) : scheduler_(scheduler) {}

bool X11KeySender::isTerminal(const QStringList &windowClass)
{
    for (const QString &name : windowClass) {
        if (terminalClasses.contains(name.toLower()))
            return true;
    }
    return false;
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
        const bool terminal = isTerminal(
            x11::stringsProperty(x11::activeWindow(), XCB_ATOM_WM_CLASS, XCB_ATOM_STRING));
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
