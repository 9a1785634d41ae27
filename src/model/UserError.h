#pragma once

#include <QString>
#include <exception>
#include <optional>

namespace vima {

// An error that is told to the user as it is: what went wrong, and what to do
// about it when there is something. Every alert catches this one type.
class UserError : public std::exception {
public:
    virtual QString description() const = 0;
    virtual std::optional<QString> recoverySuggestion() const { return std::nullopt; }
};

} // namespace vima
