#include "platform/x11/X11Clients.h"

#include <cstdlib>
#include <memory>
#include <xcb/res.h>

namespace vima::x11 {
namespace {

using Reply = std::unique_ptr<xcb_res_query_client_ids_reply_t, decltype(&std::free)>;

Reply queryClient(xcb_connection_t *connection, xcb_window_t window, uint32_t mask)
{
    if (!connection || window == XCB_NONE)
        return {nullptr, &std::free};
    const xcb_res_client_id_spec_t spec{window, mask};
    return {xcb_res_query_client_ids_reply(connection, xcb_res_query_client_ids(connection, 1, &spec), nullptr),
            &std::free};
}

} // namespace

std::optional<uint32_t> clientOf(xcb_connection_t *connection, xcb_window_t window)
{
    const Reply reply = queryClient(connection, window, XCB_RES_CLIENT_ID_MASK_CLIENT_XID);
    if (!reply)
        return std::nullopt;
    for (auto it = xcb_res_query_client_ids_ids_iterator(reply.get()); it.rem; xcb_res_client_id_value_next(&it)) {
        if (it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_CLIENT_XID)
            return it.data->spec.client;
    }
    return std::nullopt;
}

std::optional<qint64> clientProcess(xcb_connection_t *connection, xcb_window_t window)
{
    const Reply reply = queryClient(connection, window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID);
    if (!reply)
        return std::nullopt;
    for (auto it = xcb_res_query_client_ids_ids_iterator(reply.get()); it.rem; xcb_res_client_id_value_next(&it)) {
        if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) && it.data->length >= 4)
            return *xcb_res_client_id_value_value(it.data);
    }
    return std::nullopt;
}

std::optional<bool> ownedBy(xcb_connection_t *connection, xcb_window_t owner, const RunningApplication &app)
{
    if (owner == XCB_NONE)
        return false;
    if (app.window != XCB_NONE) {
        const auto ownerClient = clientOf(connection, owner);
        const auto appClient = clientOf(connection, app.window);
        if (ownerClient && appClient)
            return *ownerClient == *appClient;
    }
    if (const auto pid = clientProcess(connection, owner))
        return *pid == app.pid;
    return std::nullopt;
}

} // namespace vima::x11
