#include "platform/x11/IconTheme.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <optional>

namespace vima {

namespace {

using Section = QHash<QString, QString>;

// Sizes are pixels: anything past this is no icon, and keeps the arithmetic small.
constexpr int largestSize = 1 << 16;

// The keys read; others (names, comments, contexts in every language) are
// not kept.
const QSet<QString> keys{QStringLiteral("Inherits"), QStringLiteral("Directories"),
                         QStringLiteral("ScaledDirectories"), QStringLiteral("Size"), QStringLiteral("Scale"),
                         QStringLiteral("MinSize"), QStringLiteral("MaxSize"), QStringLiteral("Threshold"),
                         QStringLiteral("Type")};

QHash<QString, Section> sections(const QByteArray &index)
{
    QHash<QString, Section> found;
    Section *current = nullptr;
    for (const QByteArray &raw : index.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            current = &found[line.mid(1, line.size() - 2)];
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (const QString key = line.left(equals).trimmed(); current && equals > 0 && keys.contains(key))
            current->insert(key, line.mid(equals + 1).trimmed());
    }
    return found;
}

QStringList list(const QString &value)
{
    QStringList items;
    for (const QString &item : value.split(u','))
        if (const QString trimmed = item.trimmed(); !trimmed.isEmpty())
            items << trimmed;
    return items;
}

int number(const Section &section, const QString &key, int fallback, int least)
{
    bool ok = false;
    const int value = section.value(key).toInt(&ok);
    return ok ? std::clamp(value, least, largestSize) : fallback;
}

// A folder inside the theme's own: no way up or out of it.
bool staysInside(const QString &path)
{
    const QStringList parts = path.split(u'/');
    return std::none_of(parts.begin(), parts.end(), [](const QString &part) {
        return part.isEmpty() || part == u"." || part == u".." || part.contains(QChar(0));
    });
}

std::optional<IconTheme::Directory> directory(const QString &path, const Section &section)
{
    const int size = number(section, QStringLiteral("Size"), 0, 1);
    if (size == 0) // a folder without its size holds nothing we can place
        return std::nullopt;
    IconTheme::Directory dir;
    dir.path = path;
    dir.size = size;
    dir.minSize = number(section, QStringLiteral("MinSize"), size, 1);
    dir.maxSize = number(section, QStringLiteral("MaxSize"), size, 1);
    dir.threshold = number(section, QStringLiteral("Threshold"), 2, 0);
    dir.scale = number(section, QStringLiteral("Scale"), 1, 1);
    const QString type = section.value(QStringLiteral("Type"));
    dir.type = type == u"Fixed"      ? IconTheme::Type::fixed
        : type == u"Scalable"        ? IconTheme::Type::scalable
                                     : IconTheme::Type::threshold;
    return dir;
}

} // namespace

bool IconTheme::Directory::matches(int wanted, int wantedScale) const
{
    if (scale != wantedScale)
        return false;
    switch (type) {
    case Type::fixed:
        return size == wanted;
    case Type::scalable:
        return minSize <= wanted && wanted <= maxSize;
    case Type::threshold:
        return size - threshold <= wanted && wanted <= size + threshold;
    }
    return false;
}

qint64 IconTheme::Directory::distance(int wanted, int wantedScale) const
{
    const qint64 pixels = qint64(wanted) * wantedScale;
    // A threshold folder's icons serve their size give or take the threshold,
    // and are that far from their size beyond it.
    const bool byThreshold = type == Type::threshold;
    const qint64 least = qint64(type == Type::scalable ? minSize : size) * scale;
    const qint64 most = qint64(type == Type::scalable ? maxSize : size) * scale;
    const qint64 low = byThreshold ? qint64(size - threshold) * scale : least;
    const qint64 high = byThreshold ? qint64(size + threshold) * scale : most;
    if (pixels < low)
        return least - pixels;
    if (pixels > high)
        return pixels - most;
    return 0;
}

IconTheme IconTheme::parse(const QByteArray &index, qsizetype maxDirectories)
{
    const QHash<QString, Section> found = sections(index);
    const Section head = found.value(QStringLiteral("Icon Theme"));
    IconTheme theme;
    theme.inherits = list(head.value(QStringLiteral("Inherits")));
    QSet<QString> seen;
    const QStringList paths = list(head.value(QStringLiteral("Directories")))
        + list(head.value(QStringLiteral("ScaledDirectories")));
    for (const QString &path : paths) {
        if (theme.directories.size() >= maxDirectories)
            break;
        const auto section = found.constFind(path);
        if (section == found.constEnd() || seen.contains(path) || !staysInside(path))
            continue;
        seen.insert(path);
        if (auto dir = directory(path, *section))
            theme.directories << *dir;
    }
    return theme;
}

} // namespace vima
