#pragma once

#include <exception>
#include <utility>

namespace data {

// The general error handler: a box titled with the program's title, with the error icon,
// showing the message with a full stop appended where it ends in a character after ".".
void showGeneralError(const std::exception& error);

// Runs a command; an error it does not catch itself is shown and the program goes on.
template<typename F> void guarded(F&& command)
{
    try {
        std::forward<F>(command)();
    } catch (const std::exception& e) {
        showGeneralError(e);
    }
}

} // namespace data
