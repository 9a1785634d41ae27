#include "platform/x11/DesktopEntry.h"

#include "platform/RegularFile.h"

namespace vima {
namespace {

const QString mainGroup = QStringLiteral("[Desktop Entry]");

// The locale keys to try, most specific first.
QStringList localeVariants(const QString &locale)
{
    QString rest = locale;
    QString modifier;
    if (const auto at = rest.indexOf(u'@'); at >= 0) {
        modifier = rest.mid(at + 1);
        rest.truncate(at);
    }
    if (const auto dot = rest.indexOf(u'.'); dot >= 0)
        rest.truncate(dot);
    QString lang = rest;
    QString country;
    if (const auto underscore = rest.indexOf(u'_'); underscore >= 0) {
        lang = rest.left(underscore);
        country = rest.mid(underscore + 1);
    }
    if (lang.isEmpty() || lang == u"C" || lang == u"POSIX")
        return {};

    QStringList variants;
    if (!country.isEmpty() && !modifier.isEmpty())
        variants << lang + u'_' + country + u'@' + modifier;
    if (!country.isEmpty())
        variants << lang + u'_' + country;
    if (!modifier.isEmpty())
        variants << lang + u'@' + modifier;
    variants << lang;
    return variants;
}

} // namespace

std::optional<DesktopEntry> DesktopEntry::parse(QByteArrayView text)
{
    DesktopEntry entry;
    bool inMainGroup = false;
    const QString decoded = QString::fromUtf8(text);
    for (QStringView line : QStringView(decoded).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            // The main group must come first; the groups after it are not ours.
            if (inMainGroup || line != mainGroup)
                break;
            inMainGroup = true;
            continue;
        }
        const auto equals = line.indexOf(u'=');
        if (!inMainGroup || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed().toString();
        if (!entry.values_.contains(key))
            entry.values_.insert(key, line.mid(equals + 1).trimmed().toString());
    }
    if (!inMainGroup)
        return std::nullopt;
    return entry;
}

std::optional<DesktopEntry> DesktopEntry::read(const QString &path)
{
    const auto bytes = regular_file::read(path, maxFileSize);
    return bytes ? parse(*bytes) : std::nullopt;
}

QString DesktopEntry::value(const QString &key) const
{
    return unescape(values_.value(key));
}

QString DesktopEntry::localizedValue(const QString &key, const QString &locale) const
{
    for (const QString &variant : localeVariants(locale)) {
        const auto found = values_.constFind(key + u'[' + variant + u']');
        if (found != values_.constEnd())
            return unescape(*found);
    }
    return value(key);
}

bool DesktopEntry::boolean(const QString &key) const
{
    return values_.value(key) == u"true";
}

QStringList DesktopEntry::list(const QString &key) const
{
    const QString raw = values_.value(key);
    QStringList elements;
    QString current;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == u'\\' && i + 1 < raw.size()) {
            const QChar next = raw.at(++i);
            if (next != u';')
                current += c;
            current += next;
        } else if (c == u';') {
            elements << unescape(current);
            current.clear();
        } else {
            current += c;
        }
    }
    elements << unescape(current);
    elements.removeAll(QString());
    return elements;
}

QString DesktopEntry::escape(const QString &value)
{
    QString escaped;
    escaped.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\\')
            escaped += u"\\\\";
        else if (c == u'\n')
            escaped += u"\\n";
        else if (c == u'\t')
            escaped += u"\\t";
        else if (c == u'\r')
            escaped += u"\\r";
        else if (c == u' ' && i == 0) // a leading space would be trimmed on reading
            escaped += u"\\s";
        else
            escaped += c;
    }
    return escaped;
}

QString DesktopEntry::unescape(QStringView raw)
{
    QString plain;
    plain.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c != u'\\' || i + 1 == raw.size()) {
            plain += c;
            continue;
        }
        switch (raw.at(i + 1).unicode()) {
        case 's': plain += u' '; break;
        case 'n': plain += u'\n'; break;
        case 't': plain += u'\t'; break;
        case 'r': plain += u'\r'; break;
        case '\\': plain += u'\\'; break;
        default: plain += c; continue; // not ours: keep the backslash and the next char
        }
        ++i;
    }
    return plain;
}

} // namespace vima
