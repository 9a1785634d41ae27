#include "BuildFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace {

QString findBuildFolder()
{
    const QString named = qEnvironmentVariable("VIMA_BUILD_DIR");
    if (!named.isEmpty())
        return named;
    QDir dir(QCoreApplication::applicationDirPath());
    do {
        if (dir.exists(QStringLiteral("CMakeCache.txt")))
            return dir.absolutePath();
    } while (dir.cdUp());
    qFatal("No build folder above %s: set VIMA_BUILD_DIR to the build folder",
           qUtf8Printable(QCoreApplication::applicationDirPath()));
}

} // namespace

QString buildFolder()
{
    static const QString folder = findBuildFolder();
    return folder;
}
