#include "platform/ClipboardKeepRule.h"

#include <algorithm>

namespace vima {

std::optional<SelectionRead<PasteboardSnapshot>::Status> clipboardKeepRefusal(const PasteboardSnapshot::Item &item)
{
    using Status = SelectionRead<PasteboardSnapshot>::Status;
    if (item.size() > largestClipboardFormatCount)
        return Status::tooManyFormats;
    // Format names are X atom names, one byte per character.
    const auto tooLong = [](const PasteboardSnapshot::Entry &format) {
        return format.first.size() > longestClipboardFormatName;
    };
    if (std::any_of(item.cbegin(), item.cend(), tooLong))
        return Status::formatNameTooLong;
    return std::nullopt;
}

} // namespace vima
