#include "model/JsonTextSink.h"

#include "model/JsonError.h"

#include <QLocale>
#include <cmath>

namespace vima {

namespace {

char hexDigit(uint value) { return "0123456789abcdef"[value & 0xf]; }

} // namespace

void JsonTextSink::indent() { text_.append(4 * open_.size(), ' '); }

// An array's element starts on a line of its own; an object's member has
// had its key written already.
void JsonTextSink::beginValue()
{
    if (open_.empty() || !open_.back().isArray)
        return;
    if (open_.back().count++ > 0)
        text_ += ",\n";
    indent();
}

void JsonTextSink::beginObject()
{
    beginValue();
    text_ += "{\n";
    open_.push_back({false, 0, {}});
}

void JsonTextSink::beginArray()
{
    beginValue();
    text_ += "[\n";
    open_.push_back({true, 0, {}});
}

void JsonTextSink::close(char bracket)
{
    const bool empty = open_.back().count == 0;
    open_.pop_back();
    if (!empty)
        text_ += '\n';
    indent();
    text_ += bracket;
}

void JsonTextSink::endObject() { close('}'); }

void JsonTextSink::endArray() { close(']'); }

void JsonTextSink::key(QLatin1StringView name)
{
    Open &object = open_.back();
    if (object.count++ > 0)
        text_ += ",\n";
    object.key = name;
    indent();
    text_ += '"';
    text_ += name;
    text_ += "\": ";
}

void JsonTextSink::string(const QString &text)
{
    beginValue();
    text_ += '"';
    appendEscaped(text);
    text_ += '"';
}

void JsonTextSink::boolean(bool value)
{
    beginValue();
    text_ += value ? "true" : "false";
}

void JsonTextSink::integer(qint64 value)
{
    beginValue();
    text_ += QByteArray::number(value);
}

void JsonTextSink::number(double value)
{
    beginValue();
    if (!std::isfinite(value))
        fail(value);
    text_ += QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

void JsonTextSink::fail(double value) const
{
    JsonError error(JsonError::Kind::notEncodable, QStringLiteral("%1 cannot be written as JSON").arg(value));
    // The element being written in an array is the last one counted.
    for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
        if (it->isArray)
            error.prependIndex(it->count - 1);
        else
            error.prependKey(QString(it->key));
    }
    throw error;
}

// Quotes, backslashes and control characters escaped, the rest as UTF-8; a
// lone surrogate, which UTF-8 cannot hold, as its \u escape.
void JsonTextSink::appendEscaped(const QString &text)
{
    const char16_t *it = reinterpret_cast<const char16_t *>(text.utf16());
    const char16_t *end = it + text.size();
    while (it != end) {
        const char16_t unit = *it++;
        if (unit < 0x80) {
            const char c = char(unit);
            switch (c) {
            case '"': text_ += "\\\""; break;
            case '\\': text_ += "\\\\"; break;
            case '\b': text_ += "\\b"; break;
            case '\f': text_ += "\\f"; break;
            case '\n': text_ += "\\n"; break;
            case '\r': text_ += "\\r"; break;
            case '\t': text_ += "\\t"; break;
            default:
                if (unit < 0x20) {
                    text_ += "\\u00";
                    text_ += hexDigit(unit >> 4);
                    text_ += hexDigit(unit);
                } else {
                    text_ += c;
                }
            }
        } else if (unit < 0x800) {
            text_ += char(0xc0 | (unit >> 6));
            text_ += char(0x80 | (unit & 0x3f));
        } else if (QChar::isHighSurrogate(unit) && it != end && QChar::isLowSurrogate(*it)) {
            const char32_t point = QChar::surrogateToUcs4(unit, *it++);
            text_ += char(0xf0 | (point >> 18));
            text_ += char(0x80 | ((point >> 12) & 0x3f));
            text_ += char(0x80 | ((point >> 6) & 0x3f));
            text_ += char(0x80 | (point & 0x3f));
        } else if (QChar::isSurrogate(unit)) {
            text_ += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                text_ += hexDigit(uint(unit) >> shift);
        } else {
            text_ += char(0xe0 | (unit >> 12));
            text_ += char(0x80 | ((unit >> 6) & 0x3f));
            text_ += char(0x80 | (unit & 0x3f));
        }
    }
}

} // namespace vima
