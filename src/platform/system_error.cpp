#include "platform/system_error.h"

#include <string.h>

namespace tesslow {

std::string SystemErrorText(int errorNumber)
{
    char buffer[256] = {};
    // GNU strerror_r may return a static string instead of filling the buffer.
    const char* text = strerror_r(errorNumber, buffer, sizeof buffer);
    std::string result = text ? text : "";
    while (!result.empty() && (result.back() == '.' || result.back() == '\n' || result.back() == '\r'))
        result.pop_back();
    return result;
}

}  // namespace tesslow
