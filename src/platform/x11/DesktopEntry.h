#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace vima {

// The [Desktop Entry] group of a desktop file (freedesktop.org Desktop Entry
// format). Values come back with the file's string escapes (\s \n \t \r \\)
// decoded; any other backslash is left for the Exec quoting rules.
class DesktopEntry {
public:
    // Nothing when the text has no [Desktop Entry] group before any other.
    static std::optional<DesktopEntry> parse(QByteArrayView text);
    // Also nothing for what is not a regular file of at most maxFileSize
    // (links followed): an entry that is a named pipe or a device hangs nothing.
    static std::optional<DesktopEntry> read(const QString &path);
    // Far above any real entry (the largest, with every translation, are tens of KB).
    static constexpr qint64 maxFileSize = 1024 * 1024;

    bool contains(const QString &key) const { return values_.contains(key); }
    QString value(const QString &key) const;
    // `locale` as in LC_MESSAGES: lang_COUNTRY.ENCODING@MODIFIER, any part but
    // lang optional. Falls back through the less specific forms to the plain key.
    QString localizedValue(const QString &key, const QString &locale) const;
    bool boolean(const QString &key) const;
    // A ;-separated list; "\;" is a semicolon inside an element.
    QStringList list(const QString &key) const;

    // The inverse of the decoding above, for writing a value into a file.
    static QString escape(const QString &value);
    static QString unescape(QStringView raw);

private:
    QHash<QString, QString> values_; // key (with [locale]) -> raw value
};

} // namespace vima
