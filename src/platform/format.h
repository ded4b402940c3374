#pragma once

#include <boost/format.hpp>

#include <string>

namespace tesslow {

// Formats a message with positional placeholders ("%1%", "%2%") or printf-style
// directives ("Track %02d"). Surplus or missing arguments never throw: a message
// is shown as well as it can be rather than lost.
template <typename... Args>
std::string Format(const std::string& pattern, const Args&... args)
{
    boost::format f(pattern);
    f.exceptions(boost::io::no_error_bits);
    (f % ... % args);
    return f.str();
}

}  // namespace tesslow
