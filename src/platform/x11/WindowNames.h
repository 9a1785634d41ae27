#pragma once

#include "model/AppIdentity.h"
#include "platform/ApplicationCatalog.h"

#include <QString>
#include <QStringList>
#include <xcb/xcb.h>

namespace vima {

// The names a top-level window goes by: its GTK application id and its
// WM_CLASS. A program's file name is none of them: java, electron, python
// and flatpak launchers run many applications under one name.
struct WindowNames {
    QString applicationID; // _GTK_APPLICATION_ID
    QString instance;      // WM_CLASS, first string
    QString className;     // WM_CLASS, second string

    static WindowNames of(xcb_window_t window);
    // The application's most recently mapped window, the likeliest one in
    // use; none when it has no window open.
    static xcb_window_t newestWindowOf(const AppIdentity &app, const ApplicationCatalog *catalog);

    // Whether the window is one of the application's own: the installed entry
    // the catalog (may be null) gives the window is one of the application's
    // ids; for a window no entry names, one of its names stands for the
    // application. Another entry's window is never the application's, also
    // where its names look alike (a browser's web app, UXTerm for XTerm).
    bool belongTo(const AppIdentity &app, const ApplicationCatalog *catalog) const;
    QStringList names() const { return {applicationID, instance, className}; }
};

} // namespace vima
