#include "cli/printable.h"

#include <gtest/gtest.h>

namespace tesslow {
namespace {

TEST(Printable, ControlCharactersAndBrokenBytesAreShownEscapedEverythingElseAsItIs)
{
    const struct {
        std::string text, shown;
    } cases[] = {
        {"Bj\xC3\xB6rk \xE9\x9F\xB3 \xF0\x9F\x8E\xB5", "Bj\xC3\xB6rk \xE9\x9F\xB3 \xF0\x9F\x8E\xB5"},
        {"a\nb\tc\rd", "a\\nb\\tc\\rd"},
        {"\x1b]0;owned\x07\x1b[2J", "\\x1b]0;owned\\x07\\x1b[2J"},
        {std::string("nul\0x", 5) + "\x7f", "nul\\x00x\\x7f"},
        {"C1 \xC2\x9B" "31m \xC2\x85 \xC2\xA0", "C1 \\u009b31m \\u0085 \xC2\xA0"},
        {"cut \xE9\x9F", "cut \\xe9\\x9f"},
        {"\xFF\xC0\x80", "\\xff\\xc0\\x80"},
        {"C:\\path", "C:\\path"},
    };
    for (const auto& c : cases) EXPECT_EQ(Printable(c.text), c.shown) << c.text;
}

}  // namespace
}  // namespace tesslow
