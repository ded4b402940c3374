#include "app/reg_document.h"

#include <gtest/gtest.h>

namespace tesslow {
namespace {

const char* kSample =
    "Windows Registry Editor Version 5.00\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Corvalen\\tesslow]\n"
    "\"LastFormat\"=dword:0000000a\n"
    "\"LastFolder\"=\"/home/ann/Music \\\"live\\\" \\\\ mix\"\n"
    "\"Expand\"=hex(2):25,00,48,00,00,00\n"
    "\"Blob\"=hex:01,02,ff\n"
    "\"Multi\"=hex(7):41,00,00,00,00,00\n"
    "\"Big\"=hex(b):01,00,00,00,00,00,00,00\n"
    "@=\"default\"\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Other]\n"
    "\"Kept\"=dword:00000001\n";

TEST(RegDocument, EveryValueKeepsItsTypeAndBytesThroughARewrite)
{
    const RegDocument document = RegDocument::Parse(kSample);
    const RegKey* key = document.FindKey("hkey_current_user\\software\\corvalen\\TESSLOW");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(*key->Find("lastformat"), RegValue::Dword(10));
    EXPECT_EQ(*ReadString(key->Find("LastFolder")), "/home/ann/Music \"live\" \\ mix");
    EXPECT_EQ(key->Find("Expand")->type, REG_EXPAND_SZ);
    EXPECT_EQ(key->Find("Blob")->data, (std::vector<std::uint8_t>{1, 2, 0xff}));
    EXPECT_EQ(key->Find("Multi")->type, REG_MULTI_SZ);
    EXPECT_EQ(key->Find("Big")->type, REG_QWORD);
    EXPECT_EQ(*ReadString(key->Find("")), "default");

    const std::string rewritten = document.Serialise();
    const RegDocument again = RegDocument::Parse(rewritten);
    EXPECT_EQ(again.Serialise(), rewritten);
    ASSERT_EQ(again.Keys().size(), 2u);
    EXPECT_EQ(again.Keys()[0].values, key->values);
    EXPECT_EQ(again.Keys()[1].name, "HKEY_CURRENT_USER\\Software\\Other");
}

TEST(RegDocument, TextThatCannotBeWrittenPlainIsWrittenAsHex)
{
    RegDocument document;
    RegKey& key = document.EnsureKey("K");
    key.Set("Odd", RegValue{REG_SZ, {0x41, 0x00, 0x42}});
    key.Set("NoZero", RegValue{REG_SZ, {0x41, 0x00}});
    key.Set("LineBreak", RegValue::String("a\nb"));
    key.Set("LoneSurrogate", RegValue{REG_SZ, {0x00, 0xD8, 0x00, 0x00}});
    key.Set("ShortDword", RegValue{REG_DWORD, {1, 2}});
    key.Set("Unicode", RegValue::String("Björk – 東京"));

    const std::string text = document.Serialise();
    EXPECT_NE(text.find("\"Odd\"=hex(1):41,00,42\n"), std::string::npos);
    EXPECT_NE(text.find("\"ShortDword\"=hex(4):01,02\n"), std::string::npos);
    EXPECT_NE(text.find("\"Unicode\"=\"Björk – 東京\"\n"), std::string::npos);
    const RegDocument again = RegDocument::Parse(text);
    EXPECT_EQ(again.FindKey("K")->values, key.values);
}

TEST(RegDocument, UnreadableLinesAreDroppedAndTheRestKept)
{
    const std::string text =
        "Windows Registry Editor Version 5.00\n"
        "\"Orphan\"=dword:00000001\n"  // before any key
        "[HKEY_CURRENT_USER\\Software\\Corvalen\\tesslow]\n"
        "\"A\"=dword:00000001\n"
        "\"B\"=dword:0000001\n"       // seven digits
        "garbage \x01\x02 line\n"
        "\"C\"=hex:zz,01\n"
        "\"D\"=\"unterminated\n"
        "\"E\"=dword:00000005\n"
        "[broken key\n"
        "\"F\"=dword:00000006\n"      // belongs to the broken key, so it is dropped too
        "[HKEY_CURRENT_USER\\Software\\Corvalen\\tesslow]\n"
        "\"G\"=\"cut off";
    const RegDocument document = RegDocument::Parse(text);
    const RegKey* key = document.FindKey("HKEY_CURRENT_USER\\Software\\Corvalen\\tesslow");
    ASSERT_NE(key, nullptr);
    std::vector<std::string> names;
    for (const auto& [name, value] : key->values) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "E"}));
}

TEST(RegDocument, LongHexListsMayContinueOnFollowingLines)
{
    const RegDocument document = RegDocument::Parse(
        "[K]\r\n\"Long\"=hex:01,02,\\\r\n  03,04\r\n\"Next\"=dword:00000002\r\n");
    const RegKey* key = document.FindKey("K");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->Find("Long")->data, (std::vector<std::uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(ReadNumber(key->Find("Next"), 0), 2u);
}

TEST(RegDocument, WhatWasReadFromDamagedFilesIsWrittenBackExactly)
{
    // Pieces of store files, joined at random and sometimes cut or garbled,
    // so that most documents hold keys and values of every type as well as
    // lines that must be dropped.
    const char* const pieces[] = {
        "Windows Registry Editor Version 5.00\n", "\n", "[HKEY_CURRENT_USER\\Software\\Corvalen\\tesslow]\n",
        "[K]\n", "[k\\Sub]\n", "\"LastFormat\"=dword:0000000a\n", "\"N\"=dword:", "\"Text\"=\"a \\\" b \\\\ c\"\n",
        "\"Empty\"=\"\"\n", "@=\"default\"\n", "\"Hex\"=hex:01,02,ff\n", "\"Long\"=hex(2):41,00,\\\n  42,00,00,00\n",
        "\"Multi\"=hex(7):41,00,00,00,00,00\n", "\"Q\"=hex(b):01,00,00,00,00,00,00,00\n", "\"Odd\"=hex(4):01\n",
        "\"Name with = sign\"=dword:00000001\n", "\"lastformat\"=dword:00000002\n", ";comment\n", "\r\n",
        "\"Bad\"=dword:xyz\n", "\"Cut\"=hex:0", "\"Utf8\"=\"M\xc3\xb6rk\"\n", "\xff\xfe", "=\n", "[\n", "]\n", "\"\n",
    };
    std::uint32_t state = 12345;
    auto next = [&] {
        state = state * 1103515245 + 12345;
        return state >> 16;
    };
    std::size_t values = 0;
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int i = 0; i < 20; ++i) {
            std::string piece = pieces[next() % std::size(pieces)];
            if (next() % 8 == 0) piece = piece.substr(0, next() % (piece.size() + 1));       // cut short
            if (next() % 8 == 0 && !piece.empty()) piece[next() % piece.size()] = static_cast<char>(next());  // garbled
            text += piece;
        }
        const RegDocument document = RegDocument::Parse(text);
        for (const RegKey& key : document.Keys()) values += key.values.size();
        const std::string written = document.Serialise();
        ASSERT_EQ(RegDocument::Parse(written), document) << "read from:\n" << text << "\nwritten as:\n" << written;
    }
    EXPECT_GT(values, 500u) << "the documents held too few values to say much";
}

}  // namespace
}  // namespace tesslow
