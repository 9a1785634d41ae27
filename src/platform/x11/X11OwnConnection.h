#pragma once

#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace vima {

// A reply of xcb's, freed when it goes.
template <typename Reply>
std::unique_ptr<Reply, decltype(&std::free)> ownedReply(Reply *reply)
{
    return {reply, &std::free};
}

// A connection to the X server apart from Qt's, with an input-only window of
// its own that hears the changes of its properties: for waits on other
// programs that Qt's connection must never share (selection reads off the GUI
// thread, the clipboard keeper).
class X11OwnConnection {
public:
    X11OwnConnection();
    ~X11OwnConnection();
    X11OwnConnection(const X11OwnConnection &) = delete;
    X11OwnConnection &operator=(const X11OwnConnection &) = delete;

    bool isConnected() const { return window_ != XCB_NONE; }
    xcb_connection_t *get() const { return connection_; }
    xcb_window_t window() const { return window_; }

    xcb_atom_t atom(const char *name) const;
    // The selection's owner; none when it has none.
    xcb_window_t selectionOwner(xcb_atom_t selection) const;
    // The server's time now, for taking a selection; CurrentTime when the
    // server went away. Other events that come meanwhile are dropped.
    xcb_timestamp_t serverTime();

private:
    xcb_connection_t *connection_ = nullptr;
    xcb_window_t window_ = XCB_NONE;
};

} // namespace vima
