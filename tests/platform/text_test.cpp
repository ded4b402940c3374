#include "platform/format.h"
#include "platform/system_error.h"
#include "platform/utf.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace tesslow {
namespace {

TEST(Utf, BrokenSequencesBecomeReplacementCharacters)
{
    EXPECT_EQ(ValidUtf8("Bj\xC3\xB6rk"), "Bj\xC3\xB6rk");
    EXPECT_EQ(ValidUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(ValidUtf8("\xC3"), "\xEF\xBF\xBD");                     // cut short
    EXPECT_EQ(ValidUtf8("\xE2\x82" "x"), "\xEF\xBF\xBD" "x");         // cut short mid-string
    EXPECT_EQ(ValidUtf8("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");     // overlong slash
    EXPECT_EQ(ValidUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD");             // encoded surrogate
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x8E\xB5 \xEF\xBF\xBD"));
    EXPECT_FALSE(IsValidUtf8("\x80"));
}

TEST(Utf, CharactersBeyondTheBasicPlaneSurviveUtf16)
{
    const std::string note = "\xF0\x9F\x8E\xB5 \xE6\x9D\xB1";  // musical note, space, CJK
    const std::u16string wide = Utf8ToUtf16(note);
    EXPECT_EQ(wide.size(), 4u);
    EXPECT_EQ(Utf16ToUtf8(wide), note);
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD800, u'a'}), "\xEF\xBF\xBD" "a");
}

TEST(Format, PositionalAndPrintfStyleArgumentsNeverThrow)
{
    EXPECT_EQ(Format("cannot create file (%1%)", "Permission denied"), "cannot create file (Permission denied)");
    EXPECT_EQ(Format("%2% and %1%", "a", "b"), "b and a");
    EXPECT_EQ(Format("Track %02d", 7), "Track 07");
    EXPECT_EQ(Format("Time left: %02d:%02d", 105, 3), "Time left: 105:03");
    EXPECT_NO_THROW(Format("%1% %2%", "only one"));
    EXPECT_NO_THROW(Format("none", "surplus"));
}

TEST(SystemErrorText, HasNoTrailingFullStopOrLineBreak)
{
    EXPECT_EQ(SystemErrorText(EACCES), "Permission denied");
    EXPECT_EQ(SystemErrorText(ENOENT), "No such file or directory");
    const std::string unknown = SystemErrorText(99999);
    EXPECT_FALSE(unknown.empty());
    EXPECT_NE(unknown.back(), '.');
}

}  // namespace
}  // namespace tesslow
