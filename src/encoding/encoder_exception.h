#pragma once

#include <exception>
#include <string>

namespace tesslow {

// An encoder failure the user sees, carrying its message whole ("file
// skipped", "cannot create file (Permission denied)", "write error", ...).
// what() returns the message as UTF-8.
class EncoderException : public std::exception {
public:
    explicit EncoderException(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

private:
    std::string message_;
};

}  // namespace tesslow
