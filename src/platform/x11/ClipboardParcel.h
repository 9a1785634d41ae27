#pragma once

#include "platform/PasteboardSnapshot.h"

#include <QString>
#include <QtGlobal>
#include <optional>

namespace vima {

// The clipboard Tavelon hands its keeper as it quits: every format with its
// bytes, each distinct content stored once, in a sealed memory file that the
// keeper gets as its standard input. Sealed, it can't change after the
// keeper has judged it, and nothing typed in a shell passes for one.
class ClipboardParcel {
public:
    struct Opened {
        std::optional<PasteboardSnapshot::Item> item;
        // A server time at which Tavelon still held it, with `item`.
        quint32 heldAt = 0;
        QString refusal; // why there is no item, for one line on the terminal
    };

    // A sealed memory file holding `item`, which Tavelon held at the server
    // time `heldAt`, open for reading; -1 when the system can't make one.
    static int seal(const PasteboardSnapshot::Item &item, quint32 heldAt);
    // What `descriptor` holds: refused unless it is a sealed parcel within
    // the ceilings of what Tavelon puts back (clipboardKeepRefusal, and the
    // size of a snapshot). The bytes stay mapped for the rest of the
    // process's life.
    static Opened open(int descriptor);
};

} // namespace vima
