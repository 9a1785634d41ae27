#include "platform/x11/DesktopAppIconSource.h"

#include "platform/ApplicationCatalog.h"
#include "platform/InflatedFile.h"
#include "platform/x11/IconThemeLookup.h"
#include "platform/x11/XdgApplicationCatalog.h"

#include <QBuffer>
#include <QDir>
#include <QIcon>
#include <QImageReader>
#include <QXmlStreamReader>

namespace vima {

namespace {

// What an icon may take to decode, in MB: a small file can describe a huge image.
constexpr int decodeLimit = 8;

const QStringList imageSuffixes{QStringLiteral(".png"), QStringLiteral(".svg"), QStringLiteral(".svgz"),
                                QStringLiteral(".xpm")};

// Qt's SVG reader opens any file an <image> names, and waits on a named pipe
// for ever: only what the document holds itself (fragments, data: URIs) may
// be referred to. A document Qt could not read either is refused here.
bool isSelfContained(const QByteArray &svg)
{
    QXmlStreamReader xml(svg);
    xml.setNamespaceProcessing(false); // as Qt's SVG reader: an undeclared xlink: prefix is common
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        for (const QXmlStreamAttribute &attribute : xml.attributes()) {
            const QStringView name = attribute.qualifiedName();
            const QStringView value = attribute.value().trimmed();
            if ((name == u"href" || name.endsWith(u":href")) && !value.isEmpty() && !value.startsWith(u'#')
                && !value.startsWith(u"data:", Qt::CaseInsensitive))
                return false;
        }
    }
    return !xml.hasError();
}

} // namespace

DesktopAppIconSource::DesktopAppIconSource(const ApplicationCatalog &catalog, QStringList dataDirs)
    : catalog_(catalog), dataDirs_(std::move(dataDirs))
{
}

DesktopAppIconSource::~DesktopAppIconSource() = default;

QStringList DesktopAppIconSource::standardDataDirs() { return XdgApplicationCatalog::standardDataDirs(); }

std::optional<AppIconSource::Loader> DesktopAppIconSource::loader(const QString &bundleID) const
{
    const auto app = catalog_.find(bundleID);
    if (!app)
        return std::nullopt;
    const QString value = app->icon.trimmed();
    if (QDir::isAbsolutePath(value))
        return [value] { return load(value); };
    const QString name = iconName(value);
    if (name.isEmpty())
        return std::nullopt;
    return [themes = lookup(), name] { return load(themes->find(name, side)); };
}

quint64 DesktopAppIconSource::revision() const
{
    return catalog_.revision();
}

QString DesktopAppIconSource::iconName(const QString &value)
{
    const QString trimmed = value.trimmed();
    if (trimmed.contains(u'/'))
        return {};
    for (const QString &suffix : imageSuffixes)
        if (trimmed.endsWith(suffix))
            return trimmed.chopped(suffix.size());
    return trimmed;
}

std::shared_ptr<const IconThemeLookup> DesktopAppIconSource::lookup() const
{
    QString theme = QIcon::themeName();
    if (theme.isEmpty())
        theme = QStringLiteral("hicolor");
    const quint64 revision = catalog_.revision();
    if (!lookup_ || theme != lookupTheme_ || revision != lookupRevision_) {
        lookup_ = std::make_shared<IconThemeLookup>(IconThemeLookup::standardBaseDirs(dataDirs_),
                                                    IconThemeLookup::standardPixmapDirs(dataDirs_), theme,
                                                    maxFileSize);
        lookupTheme_ = theme;
        lookupRevision_ = revision;
    }
    return lookup_;
}

QImage DesktopAppIconSource::load(const QString &path)
{
    if (path.isEmpty())
        return {};
    // A compressed SVG is inflated here, within the bound of a plain one,
    // before Qt's reader would inflate it without one.
    auto bytes = inflated_file::read(path, maxFileSize, maxFileSize);
    if (!bytes)
        return {};
    QBuffer buffer(&*bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(decodeLimit);
    // Vector images are drawn at the size wanted; others are scaled down only.
    const bool vector = reader.format().startsWith("svg");
    if (vector && !isSelfContained(*bytes))
        return {};
    const QSize size = reader.size();
    if (size.isValid() && (vector || size.width() > side || size.height() > side)
        && reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(size.scaled(side, side, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.width() > side || image.height() > side)
        image = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace vima
