#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace vima {

// The web browser a fresh configuration makes its app ring for.
struct DefaultBrowser {
    // `defaultID` when it is one of `known`, else the first of `known` that
    // `installed` says is there, else the first of `known`.
    static QString choose(const std::optional<QString> &defaultID, const QStringList &known,
                          const std::function<bool(const QString &)> &installed);
    // The desktop's choice (the http handler in mimeapps.list, as
    // xdg-settings reads it) among the browsers with keys, by `choose`.
    static QString desktopID();
    // The http handler that mimeapps.list files name, nearest first; none when
    // unset. Only regular files are read, each of at most a few megabytes.
    static std::optional<QString> httpHandler();
};

} // namespace vima
