#pragma once

#include <exception>
#include <functional>
#include <string>

namespace tesslow {

inline constexpr const char* kCaption = "Tesslow";

// The text shown for an error that escaped to the top of the program: a
// runtime error's own text, "Out of memory." for an allocation failure,
// "Unhandled exception." for anything else.
std::string MessageForException(std::exception_ptr error);

// Runs `body`; when it throws, hands the error's text to `show` (captioned
// kCaption by the caller's message box) instead of ending abnormally. Returns
// the program's exit code, which is 0 on every path.
int RunGuarded(const std::function<void()>& body, const std::function<void(const std::string&)>& show);

}  // namespace tesslow
