#include "platform/x11/X11HotKeyRegistrar.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11KeyTable.h"
#include "platform/x11/X11KeyboardGrab.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <algorithm>
#include <cstdlib>
#include <xcb/xcb_keysyms.h>
#include <xcb/xinput.h>
#include <xkbcommon/xkbcommon-x11.h>
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

namespace vima {

namespace {

Q_LOGGING_CATEGORY(lcHotkey, "com.vima.Vima.Hotkey")

constexpr xcb_keysym_t numLockKeysym = 0xff7f;
constexpr qint32 badValue = 2; // the X error for a key the server cannot have
constexpr qint32 badAccess = 10; // another client holds the grab
constexpr qint32 badImplementation = 17; // no X server to ask

} // namespace

X11HotKeyRegistrar::X11HotKeyRegistrar(X11KeyboardGrab *keyboard)
    : keyboard_(keyboard),
      connection_(x11::connection()),
      root_(x11::rootWindow()),
      xkbContext_(xkb_context_new(XKB_CONTEXT_NO_FLAGS), &xkb_context_unref),
      keymap_(nullptr, &xkb_keymap_unref)
{
    if (!connection_)
        return;
    // Raw releases reach us while another grab holds the keyboard (not while
    // our hot key's own grab does, which delivers core releases instead).
    xinputOpcode_ = x11::selectRootXInputEvents(XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE);
    if (const auto *xkb = xcb_get_extension_data(connection_, &xcb_xkb_id); xkb && xkb->present)
        xkbFirstEvent_ = xkb->first_event;
    numLock_ = numLockMask();
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotKeyRegistrar::~X11HotKeyRegistrar()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
    for (auto &[ref, grab] : grabs_)
        ungrab(grab);
}

HotKeyRegistrar::Registration X11HotKeyRegistrar::registerHotKey(quint32 keyCode, quint64 modifierFlags,
                                                                  HotKeyID id)
{
    if (!connection_)
        return {badImplementation, 0};
    const auto keycode = x11::keycode(keyCode);
    if (!keycode)
        return {badValue, 0};
    Grab grab{*keycode, x11::modifierMask(modifierFlags), id, {}, false};
    if (const qint32 status = this->grab(grab); status != noErr) {
        const QString combination = combinationName(grab);
        if (status == badAccess)
            qCCritical(lcHotkey, "XGrabKey refused %s: another program holds it", qUtf8Printable(combination));
        else
            qCCritical(lcHotkey, "XGrabKey refused %s (X error %d)", qUtf8Printable(combination), status);
        return {status, 0};
    }
    const HotKeyRef ref = next_++;
    grabs_.emplace(ref, grab);
    return {noErr, ref};
}

void X11HotKeyRegistrar::unregisterHotKey(HotKeyRef ref)
{
    const auto found = grabs_.find(ref);
    if (found == grabs_.end())
        return;
    ungrab(found->second);
    grabs_.erase(found);
}

HotKeyRegistrar::Installation X11HotKeyRegistrar::installHandler(Handler handler)
{
    const HandlerRef ref = next_++;
    handlers_.emplace(ref, std::move(handler));
    return {noErr, ref};
}

void X11HotKeyRegistrar::removeHandler(HandlerRef ref) { handlers_.erase(ref); }

bool X11HotKeyRegistrar::isHeldElsewhere(quint32 keyCode, quint64 modifierFlags) const
{
    const auto keycode = x11::keycode(keyCode);
    if (!connection_ || !keycode)
        return false;
    Grab probe{*keycode, x11::modifierMask(modifierFlags), {}, {}, false};
    // Grabbing our own combination again would succeed, and the ungrab would end our hot key.
    if (holds(probe))
        return false;
    const qint32 status = grab(probe);
    ungrab(probe);
    return status == badAccess;
}

bool X11HotKeyRegistrar::holds(const Grab &grab) const
{
    return std::any_of(grabs_.cbegin(), grabs_.cend(), [&](const auto &entry) {
        return entry.second.keycode == grab.keycode && entry.second.modifiers == grab.modifiers;
    });
}

uint16_t X11HotKeyRegistrar::numLockMask() const
{
    std::unique_ptr<xcb_key_symbols_t, void (*)(xcb_key_symbols_t *)> symbols(
        xcb_key_symbols_alloc(connection_), &xcb_key_symbols_free);
    std::unique_ptr<xcb_keycode_t, void (*)(void *)> numLockCodes(
        xcb_key_symbols_get_keycode(symbols.get(), numLockKeysym), &std::free);
    std::unique_ptr<xcb_get_modifier_mapping_reply_t, void (*)(void *)> mapping(
        xcb_get_modifier_mapping_reply(connection_, xcb_get_modifier_mapping(connection_), nullptr),
        &std::free);
    if (!numLockCodes || !mapping)
        return 0;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    uint16_t mask = 0;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t code = codes[modifier * perModifier + i];
            for (const xcb_keycode_t *n = numLockCodes.get(); code != 0 && *n != XCB_NO_SYMBOL; ++n) {
                if (*n == code)
                    mask |= static_cast<uint16_t>(1 << modifier);
            }
        }
    }
    return mask;
}

uint16_t X11HotKeyRegistrar::lockMasks() const { return XCB_MOD_MASK_LOCK | numLock_; }

qint32 X11HotKeyRegistrar::grab(Grab &grab) const
{
    QList<uint16_t> variants{0, XCB_MOD_MASK_LOCK};
    if (numLock_ != 0)
        variants << numLock_ << static_cast<uint16_t>(XCB_MOD_MASK_LOCK | numLock_);
    QList<xcb_void_cookie_t> cookies;
    for (const uint16_t variant : variants) {
        // The keyboard freezes when the hot key goes down, until its handler
        // has run: a key typed right after it waits for the window the hot
        // key opens instead of reaching the application under it.
        cookies.append(xcb_grab_key_checked(connection_, 0, root_, grab.modifiers | variant, grab.keycode,
                                            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_SYNC));
    }
    qint32 status = noErr;
    for (qsizetype i = 0; i < cookies.size(); ++i) {
        if (xcb_generic_error_t *error = xcb_request_check(connection_, cookies.at(i))) {
            status = error->error_code;
            std::free(error);
        } else {
            grab.grabbedMasks.append(variants.at(i));
        }
    }
    if (status != noErr)
        ungrab(grab);
    return status;
}

void X11HotKeyRegistrar::ungrab(Grab &grab) const
{
    for (const uint16_t variant : std::as_const(grab.grabbedMasks))
        xcb_ungrab_key(connection_, grab.keycode, root_, grab.modifiers | variant);
    grab.grabbedMasks.clear();
    xcb_flush(connection_);
}

void X11HotKeyRegistrar::regrabAll()
{
    keymap_.reset();
    numLock_ = numLockMask();
    for (auto &[ref, grab] : grabs_) {
        ungrab(grab);
        if (const qint32 status = this->grab(grab); status != noErr)
            qCWarning(lcHotkey, "Grabbing the hotkey again after a keymap change failed (%d)", status);
    }
}

bool X11HotKeyRegistrar::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const uint8_t type = event->response_type & 0x7f;
    if (type == XCB_KEY_PRESS) {
        const auto *press = reinterpret_cast<const xcb_key_press_event_t *>(event);
        const bool handled = keyPressed(press) || passEarlyKey(press);
        thaw(press);
        return handled;
    }
    if (type == XCB_KEY_RELEASE)
        return keyReleased(reinterpret_cast<const xcb_key_release_event_t *>(event));
    if (type == XCB_GE_GENERIC && xinputOpcode_) {
        const auto *generic = reinterpret_cast<const xcb_ge_generic_event_t *>(event);
        if (generic->extension == *xinputOpcode_ && generic->event_type == XCB_INPUT_RAW_KEY_RELEASE)
            released(static_cast<xcb_keycode_t>(
                reinterpret_cast<const xcb_input_raw_key_release_event_t *>(event)->detail));
        return false;
    }
    if (isKeymapChange(event)) {
        // After Qt has taken in the new keymap too; the context, ours, dies with us.
        QMetaObject::invokeMethod(&context_, [this] { regrabAll(); }, Qt::QueuedConnection);
    }
    return false;
}

bool X11HotKeyRegistrar::isKeymapChange(const xcb_generic_event_t *event) const
{
    const uint8_t type = event->response_type & 0x7f;
    if (type == XCB_MAPPING_NOTIFY)
        return reinterpret_cast<const xcb_mapping_notify_event_t *>(event)->request != XCB_MAPPING_POINTER;
    if (xkbFirstEvent_ == 0 || type != xkbFirstEvent_)
        return false;
    const uint8_t xkbType = reinterpret_cast<const uint8_t *>(event)[1];
    return xkbType == XCB_XKB_NEW_KEYBOARD_NOTIFY || xkbType == XCB_XKB_MAP_NOTIFY;
}

bool X11HotKeyRegistrar::keyPressed(const xcb_key_press_event_t *event)
{
    // Auto-repeat of a held hot key, also at a window of ours that took the
    // keyboard during the hold.
    if (isHeld(event->detail) || isRepeatAfterRelease(event))
        return true;
    if (event->event != root_)
        return false;
    const uint16_t modifiers = event->state & 0xff & ~lockMasks();
    bool ours = false;
    for (auto &[ref, grab] : grabs_) {
        if (grab.keycode != event->detail || grab.modifiers != modifiers)
            continue;
        if (!ours && keyboard_)
            keyboard_->hold();
        ours = true;
        grab.down = true;
        dispatch({grab.id, HotKeyEvent::pressed, x11::toLogical({event->root_x, event->root_y})});
    }
    return ours;
}

bool X11HotKeyRegistrar::passEarlyKey(const xcb_key_press_event_t *event)
{
    // Our keyboard grab starts on the root window, where Qt gives keys to no
    // window: a key typed right after the hot key would be lost.
    if (!keyboard_ || !keyboard_->holdsKeyboard() || event->event != root_)
        return false;
    const auto code = x11::keyCode(event->detail);
    if (!code || x11::modifierKeyFlag(*code))
        return false;
    // Queued like the hot key's own press, so that the window it opens is up first.
    QMetaObject::invokeMethod(
        &context_,
        [this, key = KeyboardGrab::KeyPress{*code, charactersOf(event), x11::modifierFlags(event->state)}] {
            if (keyboard_->onEarlyKey)
                keyboard_->onEarlyKey(key);
        },
        Qt::QueuedConnection);
    return true;
}

// What the key types with Shift, the locks and the layout's group, but not
// Control, Alt or Super: the characters ignoring modifiers.
std::optional<QString> X11HotKeyRegistrar::charactersOf(const xcb_key_press_event_t *event) const
{
    xkb_keymap *map = keymap();
    if (!map)
        return std::nullopt;
    static constexpr const char *coreNames[] = {"Shift", "Lock", "Control", "Mod1", "Mod2", "Mod3", "Mod4", "Mod5"};
    constexpr uint16_t ignored = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
    xkb_mod_mask_t mods = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const xkb_mod_index_t index = xkb_keymap_mod_get_index(map, coreNames[bit]);
        if ((event->state & ~ignored & (1 << bit)) && index != XKB_MOD_INVALID)
            mods |= xkb_mod_mask_t(1) << index;
    }
    std::unique_ptr<xkb_state, void (*)(xkb_state *)> state(xkb_state_new(map), &xkb_state_unref);
    if (!state)
        return std::nullopt;
    // The group travels in bits 13 and 14 of the core state.
    xkb_state_update_mask(state.get(), mods, 0, 0, 0, 0, (event->state >> 13) & 3);
    char text[16] = {};
    if (xkb_state_key_get_utf8(state.get(), event->detail, text, sizeof text) <= 0)
        return std::nullopt;
    const QString typed = QString::fromUtf8(text);
    return typed.at(0).isPrint() ? std::optional<QString>(typed) : std::nullopt;
}

bool X11HotKeyRegistrar::keyReleased(const xcb_key_release_event_t *event)
{
    // Matched by key alone: the modifiers may be up by now. A window of ours
    // that took the keyboard while the key was held gets the release instead
    // of the root window.
    const bool ours = std::any_of(grabs_.cbegin(), grabs_.cend(), [&](const auto &entry) {
        const Grab &grab = entry.second;
        return grab.keycode == event->detail && (grab.down || event->event == root_);
    });
    if (!ours)
        return false;
    // Auto-repeat sends a release with the next press at once: the key is
    // still down at the server when we ask, unless it has been let go since.
    if (!isDown(event->detail)) {
        lastRelease_ = Release{event->detail, event->time};
        released(event->detail);
    }
    return true;
}

void X11HotKeyRegistrar::thaw(const xcb_key_press_event_t *event)
{
    // Every press of a grabbed key may have frozen the keyboard, repeats too;
    // letting go of a keyboard that isn't frozen does nothing. Handlers pass
    // the press on through the event queue: the keyboard thaws after that,
    // and the hold ends unless the ring has taken the keyboard meanwhile.
    const bool grabbed = std::any_of(grabs_.cbegin(), grabs_.cend(),
                                     [&](const auto &entry) { return entry.second.keycode == event->detail; });
    if (!grabbed)
        return;
    QMetaObject::invokeMethod(
        &context_,
        [this, time = event->time] {
            xcb_allow_events(connection_, XCB_ALLOW_ASYNC_KEYBOARD, time);
            xcb_flush(connection_);
            if (keyboard_)
                keyboard_->endHold();
        },
        Qt::QueuedConnection);
}

bool X11HotKeyRegistrar::isHeld(xcb_keycode_t keycode) const
{
    return std::any_of(grabs_.cbegin(), grabs_.cend(),
                       [&](const auto &entry) { return entry.second.keycode == keycode && entry.second.down; });
}

bool X11HotKeyRegistrar::isRepeatAfterRelease(const xcb_key_press_event_t *event) const
{
    // The press of a repeat whose release was taken for the real one (the key
    // was let go before we asked): it carries that release's time.
    return lastRelease_ && lastRelease_->keycode == event->detail && lastRelease_->time == event->time;
}

bool X11HotKeyRegistrar::isDown(xcb_keycode_t keycode) const
{
    std::unique_ptr<xcb_query_keymap_reply_t, void (*)(void *)> keymap(
        xcb_query_keymap_reply(connection_, xcb_query_keymap(connection_), nullptr), &std::free);
    return keymap && (keymap->keys[keycode / 8] & (1 << (keycode % 8))) != 0;
}

void X11HotKeyRegistrar::released(xcb_keycode_t keycode)
{
    for (auto &[ref, grab] : grabs_) {
        if (grab.keycode != keycode || !grab.down)
            continue;
        grab.down = false;
        dispatch({grab.id, HotKeyEvent::released, std::nullopt});
    }
}

void X11HotKeyRegistrar::dispatch(const HotKeyEvent &event) const
{
    // A handler may remove itself; walk a copy.
    const auto handlers = handlers_;
    for (auto it = handlers.rbegin(); it != handlers.rend(); ++it) {
        if (it->second(event) != eventNotHandled)
            return;
    }
}

xkb_keymap *X11HotKeyRegistrar::keymap() const
{
    if (!keymap_ && xkbContext_ && connection_) {
        const int32_t device = xkb_x11_get_core_keyboard_device_id(connection_);
        if (device >= 0)
            keymap_.reset(xkb_x11_keymap_new_from_device(xkbContext_.get(), connection_, device,
                                                         XKB_KEYMAP_COMPILE_NO_FLAGS));
    }
    return keymap_.get();
}

// As X names it: "Ctrl+Alt+Space".
QString X11HotKeyRegistrar::combinationName(const Grab &grab) const
{
    QStringList parts;
    for (const auto &[mask, name] : {std::pair{XCB_MOD_MASK_CONTROL, "Ctrl"}, std::pair{XCB_MOD_MASK_1, "Alt"},
                                     std::pair{XCB_MOD_MASK_SHIFT, "Shift"}, std::pair{XCB_MOD_MASK_4, "Super"}}) {
        if (grab.modifiers & mask)
            parts << QLatin1String(name);
    }
    const xkb_keysym_t *symbols = nullptr;
    char name[64] = {};
    xkb_keymap *map = keymap();
    if (map && xkb_keymap_key_get_syms_by_level(map, grab.keycode, 0, 0, &symbols) > 0
        && xkb_keysym_get_name(symbols[0], name, sizeof name) > 0) {
        QString key = QString::fromLatin1(name);
        key[0] = key.at(0).toUpper();
        parts << key;
    } else {
        parts << QStringLiteral("keycode %1").arg(grab.keycode);
    }
    return parts.join(u'+');
}

QString X11HotKeyRegistrar::translateKey(quint16 keyCode) const
{
    const auto keycode = x11::keycode(keyCode);
    xkb_keymap *map = keymap();
    if (!keycode || !map)
        return {};
    const int32_t device = xkb_x11_get_core_keyboard_device_id(connection_);
    std::unique_ptr<xkb_state, void (*)(xkb_state *)> state(
        xkb_x11_state_new_from_device(map, connection_, device), &xkb_state_unref);
    const xkb_layout_index_t layout =
        state ? xkb_state_serialize_layout(state.get(), XKB_STATE_LAYOUT_EFFECTIVE) : 0;
    const xkb_keysym_t *symbols = nullptr;
    if (xkb_keymap_key_get_syms_by_level(map, *keycode, layout, 0, &symbols) < 1)
        return {};
    char text[16] = {};
    if (xkb_keysym_to_utf8(symbols[0], text, sizeof text) <= 0)
        return {};
    const QString typed = QString::fromUtf8(text);
    const bool printable = std::all_of(typed.cbegin(), typed.cend(), [](QChar c) { return c.isPrint(); });
    return printable ? typed : QString();
}

} // namespace vima
