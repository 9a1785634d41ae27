#pragma once

#include "model/VimaConfig.h"

#include <functional>

namespace vima {

// One field of the configuration: how to read it from a configuration and
// how to write it into one. Most are a path of members:
//
//     configField(&VimaConfig::appearance, &Appearance::theme)
//
// others are written out: ConfigField<QString>{getter, setter}.
template <typename T>
struct ConfigField {
    std::function<T(const VimaConfig &)> get;
    std::function<void(VimaConfig &, const T &)> set;
};

template <typename... Members>
auto configField(Members... path)
{
    using Value = std::decay_t<decltype((std::declval<const VimaConfig &>().*....*path))>;
    return ConfigField<Value>{[=](const VimaConfig &config) -> Value { return (config.*....*path); },
                              [=](VimaConfig &config, const Value &value) { (config.*....*path) = value; }};
}

} // namespace vima
