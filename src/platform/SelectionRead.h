#pragma once

#include <QtGlobal>
#include <optional>

namespace vima {

// What reading a selection that another program serves came to.
template<typename T>
struct SelectionRead {
    enum class Status { value, absent, noAnswer, tooLarge, tooManyFormats, formatNameTooLong };

    Status status = Status::absent;
    std::optional<T> value;

    static SelectionRead of(T v) { return {Status::value, std::move(v)}; }
    // Nobody owns it, or its owner has nothing in the asked format.
    static SelectionRead absent() { return {Status::absent, std::nullopt}; }
    // The owner did not answer in time (or the read was cancelled).
    static SelectionRead noAnswer() { return {Status::noAnswer, std::nullopt}; }
    // The owner offered more than the ceiling: nothing of it was kept.
    static SelectionRead tooLarge() { return {Status::tooLarge, std::nullopt}; }
    // The owner offered more formats than can be put back: nothing was kept.
    static SelectionRead tooManyFormats() { return {Status::tooManyFormats, std::nullopt}; }
    // The owner offered a format under a longer name than can be put back.
    static SelectionRead formatNameTooLong() { return {Status::formatNameTooLong, std::nullopt}; }

    bool operator==(const SelectionRead &) const = default;
};

// Ceilings of what is read from another program. A selected text goes to an
// AI provider: it may be as large as an answer may be. The clipboard is only
// held to be put back, and a picture on it may come in many formats; a
// content offered under several names counts once.
inline constexpr qint64 largestSelectionTextMB = 8;
inline constexpr qint64 largestClipboardSnapshotMB = 64;
inline constexpr qint64 largestSelectionText = largestSelectionTextMB * 1024 * 1024;
inline constexpr qint64 largestClipboardSnapshot = largestClipboardSnapshotMB * 1024 * 1024;
// More formats than any program offers, and a longer name than any has: what
// Tavelon puts back stays within both, and so does what its keeper takes as it
// quits (see clipboardKeepRefusal).
inline constexpr qsizetype largestClipboardFormatCount = 1024;
inline constexpr qsizetype longestClipboardFormatName = 1024;

} // namespace vima
