#include "app/registry_value.h"

#include <gtest/gtest.h>

namespace tesslow {
namespace {

TEST(NumberRule, ReadsUpToFourBytesOfAnyTypeOverTheDefault)
{
    EXPECT_EQ(ReadNumber(nullptr, 7), 7u);
    const RegValue dword = RegValue::Dword(0x12345678);
    EXPECT_EQ(ReadNumber(&dword, 7), 0x12345678u);
    // A one-character string is 4 bytes: "4" and its zero read as 0x34.
    const RegValue four = RegValue::String("4");
    EXPECT_EQ(ReadNumber(&four, 7), 0x34u);
    // "12" with its zero is 6 bytes: too long, the default stays.
    const RegValue twelve = RegValue::String("12");
    EXPECT_EQ(ReadNumber(&twelve, 2), 2u);
    // Fewer than 4 bytes replace only the low bytes of the default.
    const RegValue shortValue{REG_BINARY, {0xAA, 0xBB}};
    EXPECT_EQ(ReadNumber(&shortValue, 0x11223344), 0x1122BBAAu);
    const RegValue empty{REG_DWORD, {}};
    EXPECT_EQ(ReadNumber(&empty, 9), 9u);
}

TEST(StringRule, AcceptsOnlyWellFormedTextValues)
{
    const RegValue text = RegValue::String("Ann – Home");
    EXPECT_EQ(ReadString(&text), "Ann – Home");
    RegValue expand = RegValue::String("%HOME%");
    expand.type = REG_EXPAND_SZ;
    EXPECT_EQ(ReadString(&expand), "%HOME%");  // never expanded
    const RegValue empty{REG_SZ, {}};
    EXPECT_EQ(ReadString(&empty), "");

    const RegValue dword = RegValue::Dword(1);
    EXPECT_EQ(ReadString(&dword), std::nullopt);
    const RegValue odd{REG_SZ, {0x41, 0x00, 0x00}};
    EXPECT_EQ(ReadString(&odd), std::nullopt);
    const RegValue unterminated{REG_SZ, {0x41, 0x00}};
    EXPECT_EQ(ReadString(&unterminated), std::nullopt);
    const RegValue binary{REG_BINARY, {0x41, 0x00, 0x00, 0x00}};
    EXPECT_EQ(ReadString(&binary), std::nullopt);
    EXPECT_EQ(ReadString(nullptr), std::nullopt);
}

TEST(StringRule, EndsAtTheFirstZeroAndRejectsValuesBeyondTheBuffer)
{
    const RegValue embedded{REG_SZ, {0x41, 0x00, 0x00, 0x00, 0x42, 0x00, 0x00, 0x00}};
    EXPECT_EQ(ReadString(&embedded), "A");
    const RegValue longest = RegValue::String(std::string(32767, 'x'));
    EXPECT_EQ(ReadString(&longest)->size(), 32767u);
    const RegValue tooLong = RegValue::String(std::string(32768, 'x'));
    EXPECT_EQ(ReadString(&tooLong), std::nullopt);
}

}  // namespace
}  // namespace tesslow
