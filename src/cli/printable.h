#pragma once

#include <string>
#include <string_view>

namespace tesslow {

// Text from outside the program (titles from the web service or the cache,
// settings, file names, drive keys) as it may be printed: control characters
// are shown escaped ("\n", "\t", "\r", "\x1b", "\u009b" for the C1 controls),
// so that no title can move the cursor, clear the screen or retitle the
// terminal. Bytes that are not UTF-8 are shown as "\xNN" too.
std::string Printable(std::string_view text);

}  // namespace tesslow
