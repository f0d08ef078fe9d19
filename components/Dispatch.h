// The one place where event handlers run. Whatever a handler throws ends here:
// an EAbort is dropped, an Exception is shown by the application's exception
// display, anything else is shown as an Exception with an empty message. No C++
// exception ever unwinds through a window procedure.
#pragma once

#include <exception>
#include <utility>

// Classifies and shows the exception in flight. Never throws.
void HandleEventException(std::exception_ptr error) noexcept;

template <class F> void Dispatch(F&& handler) noexcept {
    try {
        std::forward<F>(handler)();
    } catch (...) {
        HandleEventException(std::current_exception());
    }
}
