#include "platform/x11/X11AccessibilityPermission.h"

#include "platform/x11/X11Connection.h"

#include <QLoggingCategory>
#include <xcb/xtest.h>

namespace vima {
namespace {

Q_LOGGING_CATEGORY(permissionLog, "com.vima.Vima.Permissions")

void explainNothingToGrant()
{
    qCInfo(permissionLog, "No permission to grant on X11: it needs the X display with the XTest extension");
}

} // namespace

bool X11AccessibilityPermission::isTrusted() const
{
    xcb_connection_t *connection = x11::connection();
    if (!connection || xcb_connection_has_error(connection))
        return false;
    const xcb_query_extension_reply_t *xtest = xcb_get_extension_data(connection, &xcb_test_id);
    return xtest && xtest->present;
}

void X11AccessibilityPermission::showSystemPrompt()
{
    explainNothingToGrant();
}

void X11AccessibilityPermission::openSettings()
{
    explainNothingToGrant();
}

} // namespace vima
