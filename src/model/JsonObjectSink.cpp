#include "model/JsonObjectSink.h"

namespace vima {

void JsonObjectSink::beginObject() { open_.push_back({QJsonObject(), key_}); }

void JsonObjectSink::beginArray() { open_.push_back({QJsonArray(), key_}); }

void JsonObjectSink::endObject()
{
    Open done = std::move(open_.back());
    open_.pop_back();
    key_ = done.key;
    put(std::get<QJsonObject>(done.container));
}

void JsonObjectSink::endArray()
{
    Open done = std::move(open_.back());
    open_.pop_back();
    key_ = done.key;
    put(std::get<QJsonArray>(done.container));
}

void JsonObjectSink::key(QLatin1StringView name) { key_ = name; }

void JsonObjectSink::string(const QString &text) { put(text); }

void JsonObjectSink::boolean(bool value) { put(value); }

void JsonObjectSink::integer(qint64 value) { put(value); }

void JsonObjectSink::number(double value) { put(value); }

void JsonObjectSink::put(const QJsonValue &value)
{
    if (open_.empty()) {
        result_ = value;
        return;
    }
    if (auto *object = std::get_if<QJsonObject>(&open_.back().container))
        object->insert(key_, value);
    else
        std::get<QJsonArray>(open_.back().container).append(value);
}

} // namespace vima
