#include "ui/VirtualKeyEvent.h"

#include "model/KeyCodes.h"

#include <QHash>
#include <QKeyEvent>

namespace vima {

namespace {

// Qt key -> virtual key code of the ANSI layout.
const QHash<int, quint16> &mainKeys()
{
    static const QHash<int, quint16> keys = {
        {Qt::Key_A, 0}, {Qt::Key_S, 1}, {Qt::Key_D, 2}, {Qt::Key_F, 3}, {Qt::Key_H, 4},
        {Qt::Key_G, 5}, {Qt::Key_Z, 6}, {Qt::Key_X, 7}, {Qt::Key_C, 8}, {Qt::Key_V, 9},
        {Qt::Key_B, 11}, {Qt::Key_Q, 12}, {Qt::Key_W, 13}, {Qt::Key_E, 14}, {Qt::Key_R, 15},
        {Qt::Key_Y, 16}, {Qt::Key_T, 17}, {Qt::Key_1, 18}, {Qt::Key_2, 19}, {Qt::Key_3, 20},
        {Qt::Key_4, 21}, {Qt::Key_6, 22}, {Qt::Key_5, 23}, {Qt::Key_Equal, 24}, {Qt::Key_9, 25},
        {Qt::Key_7, 26}, {Qt::Key_Minus, 27}, {Qt::Key_8, 28}, {Qt::Key_0, 29},
        {Qt::Key_BracketRight, 30}, {Qt::Key_O, 31}, {Qt::Key_U, 32}, {Qt::Key_BracketLeft, 33},
        {Qt::Key_I, 34}, {Qt::Key_P, 35}, {Qt::Key_Return, 36}, {Qt::Key_L, 37}, {Qt::Key_J, 38},
        {Qt::Key_Apostrophe, 39}, {Qt::Key_K, 40}, {Qt::Key_Semicolon, 41}, {Qt::Key_Backslash, 42},
        {Qt::Key_Comma, 43}, {Qt::Key_Slash, 44}, {Qt::Key_N, 45}, {Qt::Key_M, 46},
        {Qt::Key_Period, 47}, {Qt::Key_Tab, 48}, {Qt::Key_Backtab, 48}, {Qt::Key_Space, 49},
        {Qt::Key_QuoteLeft, 50}, {Qt::Key_Backspace, 51}, {Qt::Key_Escape, 53},
        {Qt::Key_Enter, 76}, {Qt::Key_F5, 96}, {Qt::Key_F6, 97}, {Qt::Key_F7, 98}, {Qt::Key_F3, 99},
        {Qt::Key_F8, 100}, {Qt::Key_F9, 101}, {Qt::Key_F11, 103}, {Qt::Key_F10, 109},
        {Qt::Key_F12, 111}, {Qt::Key_Home, 115}, {Qt::Key_PageUp, 116}, {Qt::Key_Delete, 117},
        {Qt::Key_F4, 118}, {Qt::Key_End, 119}, {Qt::Key_F2, 120}, {Qt::Key_PageDown, 121},
        {Qt::Key_F1, 122}, {Qt::Key_Left, 123}, {Qt::Key_Right, 124}, {Qt::Key_Down, 125},
        {Qt::Key_Up, 126},
    };
    return keys;
}

// Keys that the keypad sends with Qt::KeypadModifier.
const QHash<int, quint16> &keypadKeys()
{
    static const QHash<int, quint16> keys = {
        {Qt::Key_Period, 65}, {Qt::Key_Asterisk, 67}, {Qt::Key_Plus, 69}, {Qt::Key_Slash, 75},
        {Qt::Key_Enter, 76}, {Qt::Key_Minus, 78}, {Qt::Key_Equal, 81}, {Qt::Key_0, 82},
        {Qt::Key_1, 83}, {Qt::Key_2, 84}, {Qt::Key_3, 85}, {Qt::Key_4, 86}, {Qt::Key_5, 87},
        {Qt::Key_6, 88}, {Qt::Key_7, 89}, {Qt::Key_8, 91}, {Qt::Key_9, 92},
    };
    return keys;
}

// The text a key gives without Control, Alt or Super: the event's own text
// when it is printable, else the key's character.
std::optional<QString> charactersOf(const QKeyEvent &event)
{
    const QString text = event.text();
    if (!text.isEmpty() && text.at(0).isPrint())
        return text;
    const int key = event.key();
    if (key >= 0x20 && key < Qt::Key_Escape && QChar::isPrint(char32_t(key)))
        return QString(QChar(char32_t(key))).toLower();
    return std::nullopt;
}

// A layout whose digit row types another script's digits: the key of that
// digit on the main row.
std::optional<quint16> digitRowCodeOf(const QKeyEvent &event)
{
    const QString text = event.text();
    const int value = text.isEmpty() ? -1 : QChar::digitValue(text.toUcs4().constFirst());
    if (value < 0 || value > 9)
        return std::nullopt;
    return mainKeys().value(Qt::Key_0 + value);
}

} // namespace

std::optional<quint16> VirtualKeyEvent::keyCodeOf(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (const auto it = keypadKeys().constFind(qtKey); it != keypadKeys().constEnd())
            return *it;
    }
    if (const auto it = mainKeys().constFind(qtKey); it != mainKeys().constEnd())
        return *it;
    return std::nullopt;
}

std::optional<VirtualKeyEvent> VirtualKeyEvent::from(const QKeyEvent &event)
{
    auto code = keyCodeOf(event.key(), event.modifiers());
    if (!code)
        code = digitRowCodeOf(event);
    if (!code)
        return std::nullopt;
    quint64 flags = modifiers::flagsOf(event.modifiers());
    // Qt reports Shift-Tab as Backtab, sometimes without the Shift bit.
    if (event.key() == Qt::Key_Backtab)
        flags |= modifiers::shift;
    return VirtualKeyEvent{*code, charactersOf(event), flags};
}

} // namespace vima
