#pragma once

#include <QString>

// Where the agent keeps its files under the test's home, and applications
// installed there for it to launch.
namespace agent_home {

QString configFolder();
QString configPath();
// A marker under the home folder, made by the applications below.
QString markerPath(const QString &name);
// Installs a desktop entry `appID` called `name` that creates `marker` when
// started with descriptors 0-2 open; its
// path, or empty when it could not be written.
QString installMarkerApp(const QString &appID, const QString &name, const QString &marker);

} // namespace agent_home
