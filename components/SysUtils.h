// The component library's exception classes. Messages are UTF-16 because they are
// shown to the user as they stand (the exception display goes through MessageBoxW).
#pragma once

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::wstring message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return "tomarin exception"; }

    std::wstring Message;
};

// A silent exception: the dispatcher drops it without a word.
class EAbort : public Exception {
public:
    EAbort() : Exception(L"") {}
};

// Raised by the picture loader and the bitmap for pictures it cannot hold.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// Substitutes each "%s" in a message pattern, left to right.
std::wstring FormatMessageText(std::wstring_view pattern,
                               std::initializer_list<std::wstring_view> args);

// What the exception display shows for a message: a full stop is added when the
// message is not empty and its last character's code lies above that of ".".
std::wstring DisplayText(std::wstring_view message);
