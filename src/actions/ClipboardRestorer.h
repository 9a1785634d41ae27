#pragma once

#include "platform/Pasteboard.h"
#include "platform/PasteboardSnapshot.h"

namespace vima {

// Puts the clipboard's earlier contents back when it goes out of scope, on
// every exit: success, failure and cancellation alike. Only ever built from a
// snapshot that was really read.
class ClipboardRestorer {
public:
    ClipboardRestorer(Pasteboard &pasteboard, PasteboardSnapshot snapshot)
        : pasteboard_(pasteboard), snapshot_(std::move(snapshot))
    {
    }
    ~ClipboardRestorer() { pasteboard_.restore(snapshot_); }
    ClipboardRestorer(const ClipboardRestorer &) = delete;
    ClipboardRestorer &operator=(const ClipboardRestorer &) = delete;

private:
    Pasteboard &pasteboard_;
    PasteboardSnapshot snapshot_;
};

} // namespace vima
