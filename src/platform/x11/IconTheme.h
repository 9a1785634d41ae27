#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace vima {

// One icon theme as its index.theme describes it: the themes it inherits
// from and the folders that hold its icons, each for a range of sizes.
struct IconTheme {
    enum class Type { fixed, scalable, threshold };

    struct Directory {
        QString path; // relative to the theme's folder, e.g. "48x48/apps"
        Type type = Type::threshold;
        int size = 0;
        int minSize = 0;
        int maxSize = 0;
        int threshold = 2;
        int scale = 1;

        // Whether its icons are drawn for `size` at `scale`.
        bool matches(int size, int scale) const;
        // How far its icons are from `size` at `scale`, in pixels.
        qint64 distance(int size, int scale) const;

        bool operator==(const Directory &) const = default;
    };

    QStringList inherits;
    QList<Directory> directories;

    bool operator==(const IconTheme &) const = default;

    // The theme an index.theme describes: its Inherits and the Directories and
    // ScaledDirectories that have a section of their own, at most
    // `maxDirectories` of them.
    static IconTheme parse(const QByteArray &index, qsizetype maxDirectories);
};

} // namespace vima
