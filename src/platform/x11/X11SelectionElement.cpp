#include "platform/x11/X11SelectionElement.h"

#include "platform/x11/ReadOffThread.h"
#include "platform/x11/X11SelectionReader.h"

namespace vima {

QCoro::Task<AXAnswer<QString>> X11SelectionElement::selectedText(CancellationToken token)
{
    using Answer = AXAnswer<QString>;
    const auto read = [app = app_, timeout = qint64(timeout_ * 1000)](const std::atomic_bool &abort) {
        X11SelectionReader reader(&abort);
        if (!reader.isConnected())
            return Answer::failure();
        if (reader.isOwnedBy("PRIMARY", app) != true)
            return Answer::none();
        const SelectionRead<QString> text = reader.text("PRIMARY", QDeadlineTimer(timeout), largestSelectionText);
        switch (text.status) {
        case SelectionRead<QString>::Status::value:
            return Answer::of(*text.value);
        case SelectionRead<QString>::Status::tooLarge:
            return Answer::tooLarge();
        case SelectionRead<QString>::Status::absent:
            // A GtkEntry owns PRIMARY while it has the focus, selection or not.
            return Answer::none();
        case SelectionRead<QString>::Status::noAnswer:
        case SelectionRead<QString>::Status::tooManyFormats:
        case SelectionRead<QString>::Status::formatNameTooLong:
            break;
        }
        return Answer::failure();
    };
    co_return co_await x11::readOffThread<Answer>(read, std::move(token));
}

} // namespace vima
