#pragma once

#include "model/JsonSink.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <variant>
#include <vector>

namespace vima {

// Builds the JSON form of a value as QJsonObjects and QJsonArrays.
class JsonObjectSink final : public JsonSink {
public:
    template<JsonWritable T>
    static QJsonObject build(const T &value)
    {
        JsonObjectSink sink;
        value.write(sink);
        return sink.result_.toObject();
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
        std::variant<QJsonObject, QJsonArray> container;
        QString key; // of the container in its parent
    };

    void put(const QJsonValue &value);

    std::vector<Open> open_;
    QString key_;
    QJsonValue result_;
};

} // namespace vima
