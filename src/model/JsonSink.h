#pragma once

#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <concepts>
#include <limits>
#include <optional>

namespace vima {

class JsonSink;

// A value that writes its own JSON form.
template<typename T>
concept JsonWritable = requires(const T &value, JsonSink &sink) { value.write(sink); };

// Where a value's JSON form goes, one event at a time: built into QJsonObjects
// or written straight out as text. Each type names its keys in sorted order,
// the order the file keeps.
class JsonSink {
public:
    virtual ~JsonSink() = default;

    virtual void beginObject() = 0;
    virtual void endObject() = 0;
    virtual void beginArray() = 0;
    virtual void endArray() = 0;
    // The key of the next value, inside an object.
    virtual void key(QLatin1StringView name) = 0;
    virtual void string(const QString &text) = 0;
    virtual void boolean(bool value) = 0;
    virtual void integer(qint64 value) = 0;
    virtual void number(double value) = 0;

    void field(QLatin1StringView name, const QString &text)
    {
        key(name);
        string(text);
    }
    void field(QLatin1StringView name, bool value)
    {
        key(name);
        boolean(value);
    }
    void field(QLatin1StringView name, qint64 value)
    {
        key(name);
        integer(value);
    }
    void field(QLatin1StringView name, double value)
    {
        key(name);
        number(value);
    }
    // Exact below 2^63; beyond that only as a double can hold it.
    void unsignedField(QLatin1StringView name, quint64 value)
    {
        key(name);
        if (value <= quint64(std::numeric_limits<qint64>::max()))
            integer(qint64(value));
        else
            number(double(value));
    }
    template<JsonWritable T>
    void field(QLatin1StringView name, const T &value)
    {
        key(name);
        value.write(*this);
    }
    template<JsonWritable T>
    void field(QLatin1StringView name, const QList<T> &values)
    {
        key(name);
        beginArray();
        for (const T &value : values)
            value.write(*this);
        endArray();
    }
    // Writes the key only when the value is set.
    template<typename T>
    void field(QLatin1StringView name, const std::optional<T> &value)
    {
        if (value)
            field(name, *value);
    }
};

} // namespace vima
