#pragma once

#include "model/KeyChord.h"

#include <QString>
#include <optional>

namespace vima {

// A keystroke slot: the keys it sends and the application whose window they
// go to. Stored as the AppleScript that does the same on the other platform
// (KeystrokeScript.h), so the file format is unchanged; recognised here only
// in exactly that form.
struct Keystroke {
    QString application; // a desktop id, or a name when `byName`
    bool byName = false;
    KeyChord chord;

    // None for any other script, or for a modifier other than command,
    // control, option and shift.
    static std::optional<Keystroke> parse(const QString &source);

    bool operator==(const Keystroke &) const = default;
};

} // namespace vima
