#pragma once

#include <string>
#include <string_view>

namespace tesslow {

// UTF conversions at the edges of the program. Every sequence that is not valid
// UTF-8 (or a lone surrogate in UTF-16) becomes U+FFFD, so the result is always
// well-formed and nothing ever throws.

// Decodes one character starting at `pos` and advances `pos` past it.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos);
void AppendUtf8(std::string& out, char32_t c);

std::string ValidUtf8(std::string_view text);
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// Stored metadata (UTF-8 from the disc's titles or the web service) as text
// for display and file names: the text up to its first zero byte, with every
// broken sequence replaced, all of Unicode kept.
std::string DisplayUtf8(std::string_view text);

// True when `text` is already well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

}  // namespace tesslow
