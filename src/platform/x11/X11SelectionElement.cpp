#include "platform/x11/X11SelectionElement.h"

#include "platform/x11/X11SelectionReader.h"

namespace vima {

AXAnswer<QString> X11SelectionElement::selectedText()
{
    X11SelectionReader reader;
    if (!reader.isConnected())
        return AXAnswer<QString>::failure();
    if (reader.isOwnedBy("PRIMARY", app_) != true)
        return AXAnswer<QString>::none();
    auto text = reader.text("PRIMARY", QDeadlineTimer(qint64(timeout_ * 1000)));
    return text ? AXAnswer<QString>::of(*text) : AXAnswer<QString>::failure();
}

} // namespace vima
