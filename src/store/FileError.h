#pragma once

#include <QString>
#include <exception>

namespace vima {

// A file that could not be read or written, described for the user.
class FileError : public std::exception {
public:
    explicit FileError(QString description) : description_(std::move(description)) {}

    QString description() const { return description_; }
    const char *what() const noexcept override { return "file error"; }

private:
    QString description_;
};

} // namespace vima
