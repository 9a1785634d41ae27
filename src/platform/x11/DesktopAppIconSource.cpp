#include "platform/x11/DesktopAppIconSource.h"

#include "platform/ApplicationCatalog.h"
#include "platform/RegularFile.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <private/qiconloader_p.h>

namespace vima {

namespace {

// What an icon may take to decode, in MB: a small file can describe a huge image.
constexpr int decodeLimit = 8;

} // namespace

DesktopAppIconSource::DesktopAppIconSource(const ApplicationCatalog &catalog)
    : catalog_(catalog)
{
}

std::optional<AppIconSource::Loader> DesktopAppIconSource::loader(const QString &bundleID) const
{
    const auto app = catalog_.find(bundleID);
    if (!app)
        return std::nullopt;
    const QString file = iconFile(app->icon);
    if (file.isEmpty())
        return std::nullopt;
    return [file] { return load(file); };
}

quint64 DesktopAppIconSource::revision() const
{
    return catalog_.revision();
}

QString DesktopAppIconSource::iconFile(const QString &value)
{
    const QString trimmed = value.trimmed();
    if (trimmed.isEmpty())
        return {};
    if (QDir::isAbsolutePath(trimmed))
        return trimmed;
    // Qt's own lookup, only to learn the file's name: Qt would read the file
    // itself on the GUI thread, whatever stands there.
    QIconLoader *themes = QIconLoader::instance();
    themes->ensureInitialized();
    const QThemeIconInfo info = themes->loadIcon(trimmed);
    const QIconLoaderEngineEntry *entry = QIconLoaderEngine::entryForSize(info, QSize(side, side));
    return entry ? entry->filename : QString();
}

QImage DesktopAppIconSource::load(const QString &path)
{
    auto bytes = regular_file::read(path, maxFileSize);
    if (!bytes)
        return {};
    QBuffer buffer(&*bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(decodeLimit);
    // Vector images are drawn at the size wanted; others are scaled down only.
    const QSize size = reader.size();
    const bool vector = reader.format().startsWith("svg");
    if (size.isValid() && (vector || size.width() > side || size.height() > side)
        && reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(size.scaled(side, side, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.width() > side || image.height() > side)
        image = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace vima
