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

// The failure of a write to the output file: "write error", then the reason
// in plain words when the system gave one (see FileErrorText) and an engine's
// own code after it: "write error (the disk is full: No space left on device;
// 0x80070070)". The same words for every format.
EncoderException WriteError(int errorNumber, const std::string& engineCode = {});

// The failure to create the output file: "cannot create file (<reason>)", the
// reason as WriteError gives it.
EncoderException CreateError(int errorNumber, const std::string& engineCode = {});

}  // namespace tesslow
