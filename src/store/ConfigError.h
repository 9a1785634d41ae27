#pragma once

#include "model/UserError.h"

#include <QString>

namespace vima {

// A configuration that this version cannot take: written by a newer format.
class ConfigError : public UserError {
public:
    enum class Kind { futureVersion };

    static ConfigError futureVersion(qint64 version) { return {Kind::futureVersion, version}; }

    Kind kind() const { return kind_; }
    qint64 version() const { return version_; }

    QString description() const override;
    const char *what() const noexcept override { return "config error"; }

private:
    ConfigError(Kind kind, qint64 version) : kind_(kind), version_(version) {}

    Kind kind_;
    qint64 version_;
};

} // namespace vima
