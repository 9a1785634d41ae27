#pragma once

#include "model/JsonSink.h"

#include <QByteArray>
#include <vector>

namespace vima {

// Writes the JSON form of a value straight out as text, byte for byte as
// QJsonDocument's indented form of the same value (four-space indent, keys as
// given, "/" unescaped, other text as UTF-8), without building the document.
// Throws a JsonError naming the key path for a NaN or infinite number.
class JsonTextSink final : public JsonSink {
public:
    template<JsonWritable T>
    static QByteArray write(const T &value)
    {
        JsonTextSink sink;
        value.write(sink);
        sink.text_ += '\n';
        return sink.text_;
    }

    void beginObject() override;
    void endObject() override;
    void beginArray() override;
    void endArray() override;
    void key(QLatin1StringView name) override;
    void string(const QString &text) override;
    void boolean(bool value) override;
    void integer(qint64 value) override;
    void number(double value) override;

private:
    struct Open {
        bool isArray = false;
        qsizetype count = 0;
        QLatin1StringView key; // the member being written, in an object
    };

    void beginValue();
    void close(char bracket);
    void indent();
    void appendEscaped(const QString &text);
    [[noreturn]] void fail(double value) const;

    QByteArray text_;
    std::vector<Open> open_;
};

} // namespace vima
