#include "platform/x11/X11AccessibilityPermission.h"

#include "platform/x11/X11Connection.h"

#include <xcb/xtest.h>

namespace vima {

AccessibilityPermission::Trust X11AccessibilityPermission::trust() const
{
    xcb_connection_t *connection = x11::connection();
    if (!connection || xcb_connection_has_error(connection))
        return Trust::noX11Session;
    const xcb_query_extension_reply_t *xtest = xcb_get_extension_data(connection, &xcb_test_id);
    return xtest && xtest->present ? Trust::trusted : Trust::noXTest;
}

} // namespace vima
