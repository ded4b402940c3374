#pragma once

#include <string>

namespace tesslow {

// `text` as a JSON string: quoted, valid UTF-8 (broken sequences replaced),
// quotes, backslashes and control characters escaped.
std::string JsonString(const std::string& text);

}  // namespace tesslow
