#include "platform/system_error.h"

#include <errno.h>
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

std::string FileErrorText(int errorNumber)
{
    const char* plain = nullptr;
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT: plain = "the disk is full"; break;
    case EROFS:
    case EACCES:
    case EPERM: plain = "the folder is read-only"; break;
    case EEXIST:
    case EISDIR:
    case ENOTDIR: plain = "a file is in the way"; break;
    case EFBIG: plain = "the file is larger than allowed"; break;
    default: return SystemErrorText(errorNumber);
    }
    return std::string(plain) + ": " + SystemErrorText(errorNumber);
}

}  // namespace tesslow
