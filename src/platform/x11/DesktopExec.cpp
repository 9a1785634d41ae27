#include "platform/x11/DesktopExec.h"

#include <algorithm>

namespace vima {
namespace {

const QString reservedChars = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
const QString escapedInQuotes = QStringLiteral("\"`$\\");
const QString deprecatedCodes = QStringLiteral("dDnNvm");

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

QStringList localFiles(const QList<QUrl> &urls)
{
    QStringList files;
    for (const QUrl &url : urls) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    return files;
}

QStringList urlTexts(const QList<QUrl> &urls)
{
    QStringList texts;
    for (const QUrl &url : urls)
        texts << (url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded));
    return texts;
}

// Splits one line, one character at a time.
class Splitter {
public:
    Splitter(const QString &exec, const DesktopExec::Fields &fields) : exec_(exec), fields_(fields) {}

    std::optional<QStringList> run()
    {
        for (pos_ = 0; pos_ < exec_.size(); ++pos_) {
            if (!step())
                return std::nullopt;
        }
        if (quoted_ || singleQuoted_) {
            refuse(QStringLiteral("has a quote that is never closed"));
            return std::nullopt;
        }
        finishArgument();
        return arguments_;
    }

    QString refusal() const { return refusal_; }

private:
    // Outside double quotes, a backslash and single quotes work as a shell's
    // do: menus and GLib run lines that the desktop-entry rules call invalid,
    // such as every entry Wine writes.
    bool step()
    {
        const QChar c = exec_.at(pos_);
        if (singleQuoted_)
            return literal(c);
        if (c == u'%')
            return fieldCode();
        if (!quoted_ && c == u'\\')
            return escaped();
        if (!quoted_ && c == u'\'') {
            singleQuoted_ = true;
            started_ = true;
        } else if (quoted_) {
            if (c == u'"')
                quoted_ = false;
            else if (c == u'\\' && pos_ + 1 < exec_.size() && escapedInQuotes.contains(exec_.at(pos_ + 1)))
                current_ += exec_.at(++pos_);
            else
                current_ += c;
        } else if (isSpace(c)) {
            finishArgument();
        } else if (c == u'"') {
            quoted_ = true;
            started_ = true;
        } else {
            current_ += c;
            started_ = true;
        }
        return true;
    }

    // Inside single quotes a field code would be expanded into text the
    // program takes as code, so none is.
    bool literal(QChar c)
    {
        if (c == u'\'') {
            singleQuoted_ = false;
            return true;
        }
        if (c == u'%') {
            if (++pos_ == exec_.size() || exec_.at(pos_) != u'%')
                return refuse(QStringLiteral("has a field code inside single quotes"));
        }
        current_ += c;
        return true;
    }

    // A backslash and a newline join lines; a field code can't be escaped.
    bool escaped()
    {
        if (++pos_ == exec_.size())
            return refuse(QStringLiteral("ends in a backslash"));
        if (exec_.at(pos_) == u'%')
            return refuse(QStringLiteral("has a field code after a backslash"));
        if (exec_.at(pos_) != u'\n') {
            current_ += exec_.at(pos_);
            started_ = true;
        }
        return true;
    }

    bool fieldCode()
    {
        if (++pos_ == exec_.size())
            return refuse(QStringLiteral("ends in a % with no field code"));
        const QChar code = exec_.at(pos_);
        switch (code.unicode()) {
        case '%': append(QStringLiteral("%")); return true;
        case 'f': append(localFiles(fields_.urls).value(0)); return true;
        case 'u': append(urlTexts(fields_.urls).value(0)); return true;
        case 'c': append(fields_.name); return true;
        case 'k': append(fields_.desktopFile); return true;
        case 'F': return appendList(localFiles(fields_.urls));
        case 'U': return appendList(urlTexts(fields_.urls));
        case 'i':
            return appendList(fields_.icon.isEmpty() ? QStringList()
                                                     : QStringList{QStringLiteral("--icon"), fields_.icon});
        default:
            return deprecatedCodes.contains(code)
                || refuse(QStringLiteral("has an unknown field code, %1").arg(exec_.mid(pos_ - 1, 2)));
        }
    }

    // An empty expansion standing alone leaves no argument behind.
    void append(const QString &text)
    {
        current_ += text;
        started_ = started_ || !text.isEmpty();
    }

    bool appendList(const QStringList &items)
    {
        const bool alone = !started_ && !quoted_
            && (pos_ + 1 == exec_.size() || isSpace(exec_.at(pos_ + 1)));
        if (!alone)
            return refuse(QStringLiteral("has %1 that isn't an argument of its own").arg(exec_.mid(pos_ - 1, 2)));
        arguments_ << items;
        return true;
    }

    // Always false: the line is refused.
    bool refuse(const QString &why)
    {
        refusal_ = why;
        return false;
    }

    void finishArgument()
    {
        if (started_)
            arguments_ << current_;
        current_.clear();
        started_ = false;
    }

    const QString &exec_;
    const DesktopExec::Fields &fields_;
    qsizetype pos_ = 0;
    QStringList arguments_;
    QString current_;
    bool started_ = false;
    bool quoted_ = false;
    bool singleQuoted_ = false;
    QString refusal_;
};

} // namespace

std::optional<QStringList> DesktopExec::split(const QString &exec, const Fields &fields, QString *refusal)
{
    Splitter splitter(exec, fields);
    std::optional<QStringList> arguments = splitter.run();
    if (!arguments && refusal)
        *refusal = splitter.refusal();
    return arguments;
}

QString DesktopExec::quote(const QString &argument)
{
    QString percentSafe = argument;
    percentSafe.replace(u'%', QStringLiteral("%%"));
    const bool needsQuotes = argument.isEmpty()
        || std::any_of(argument.cbegin(), argument.cend(), [](QChar c) { return reservedChars.contains(c); });
    if (!needsQuotes)
        return percentSafe;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : percentSafe) {
        if (escapedInQuotes.contains(c))
            quoted += u'\\';
        quoted += c;
    }
    return quoted + u'"';
}

QString DesktopExec::join(const QStringList &arguments)
{
    QStringList quoted;
    for (const QString &argument : arguments)
        quoted << quote(argument);
    return quoted.join(u' ');
}

} // namespace vima
