#include "cli/printable.h"

#include <cstdio>

namespace tesslow {

namespace {

void AppendEscaped(std::string& out, const char* format, unsigned value)
{
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, format, value);
    out += escaped;
}

// The length of the UTF-8 sequence at `at`, or 0 when it is not one.
std::size_t SequenceLength(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || (length == 2 && lead < 0xC2) || at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
    return length;
}

}  // namespace

std::string Printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const std::size_t length = SequenceLength(text, at);
        if (length == 0) {
            AppendEscaped(out, "\\x%02x", byte);
            ++at;
        } else if (byte == '\n') {
            out += "\\n";
            ++at;
        } else if (byte == '\t') {
            out += "\\t";
            ++at;
        } else if (byte == '\r') {
            out += "\\r";
            ++at;
        } else if (byte < 0x20 || byte == 0x7F) {
            AppendEscaped(out, "\\x%02x", byte);
            ++at;
        } else if (byte == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0) {
            AppendEscaped(out, "\\u%04x", static_cast<unsigned char>(text[at + 1]));  // U+0080..U+009F
            at += 2;
        } else {
            out.append(text.substr(at, length));
            at += length;
        }
    }
    return out;
}

}  // namespace tesslow
