#pragma once

#include <exception>

namespace vima {

// Thrown at a cancellation point once the work's token is cancelled. It ends
// the work quietly: nothing catches it to show the user anything.
class Cancelled : public std::exception {
public:
    const char *what() const noexcept override { return "cancelled"; }
};

} // namespace vima
