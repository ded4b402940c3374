#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tesslow {

// The words of a CUE sheet line and the numbers in them, shared by the sheet
// reader and the "REM TESSLOW" drive conditions.

// Splits a line at blanks; a double-quoted string is one word (without its quotes).
std::vector<std::string> SplitCueWords(const std::string& line);

// ASCII letters in upper case: commands and keywords are matched this way.
std::string UpperCase(std::string text);

// A whole word as an integer in `base`; nothing for anything else.
std::optional<std::int64_t> ParseInteger(const std::string& word, int base = 10);

// A time mm:ss:ff (minutes up to 999, 75 frames a second) in sectors;
// nothing for anything else.
std::optional<std::int32_t> ParseMsf(const std::string& word);

}  // namespace tesslow
