#include "app/cd_text.h"
#include "drive/cd_text.h"
#include "drive/scsi_command.h"
#include "drive/toc_reader.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace tesslow {

// What a failed comparison shows.
void PrintTo(const CdText& text, std::ostream* out)
{
    for (const CdTextBlock& b : text.blocks) {
        *out << "\nblock " << b.number << " language " << int(b.language) << " code " << int(b.characterCode);
        for (std::size_t t = 0; t <= b.tracks.size(); ++t) {
            const CdTextEntry& e = t == 0 ? b.disc : b.tracks[t - 1];
            *out << "\n  " << t << ": " << e.title << " | " << e.performer << " | " << e.songwriter;
        }
    }
}

namespace {

using Bytes = std::vector<std::uint8_t>;

// CRC-16 CCITT with initial 0, one bit at a time, inverted.
std::uint16_t TestCrc(const std::uint8_t* bytes, std::size_t size)
{
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < size; ++i)
        for (int bit = 7; bit >= 0; --bit) {
            const bool top = ((crc >> 15) & 1) != ((bytes[i] >> bit) & 1);
            crc = (crc << 1) & 0xFFFF;
            if (top) crc ^= 0x1021;
        }
    return static_cast<std::uint16_t>(~crc);
}

// Builds READ TOC format 5 answers pack by pack, numbering each block's packs.
class PackWriter {
public:
    // One kind of text of one block: `strings` for the tracks from
    // `firstTrack` on (0 = the disc), each ended by one NUL (two double-byte).
    void Text(std::uint8_t type, int block, bool doubleByte, int firstTrack, const std::vector<std::string>& strings)
    {
        const std::string end(doubleByte ? 2 : 1, '\0');
        std::string stream;
        for (const std::string& s : strings) stream += s + end;
        const std::size_t unit = end.size();
        int track = firstTrack, position = 0;
        for (std::size_t at = 0; at < stream.size(); at += 12) {
            Bytes payload(12, 0);
            for (std::size_t i = 0; i < 12 && at + i < stream.size(); ++i) payload[i] = std::uint8_t(stream[at + i]);
            Add(type, track, block, doubleByte, std::min(position, 15), payload);
            for (std::size_t i = at; i < at + 12 && i < stream.size(); i += unit) {
                if (stream.compare(i, unit, end) == 0) {
                    ++track;
                    position = 0;
                } else {
                    ++position;
                }
            }
        }
    }

    // The three 8Fh packs of `block`: its character code and every block's language.
    void BlockSize(int block, std::uint8_t characterCode, std::array<std::uint8_t, 8> languages)
    {
        Bytes info(36, 0);
        info[0] = characterCode;
        info[1] = 1;
        info[2] = 3;
        for (int b = 0; b < 8; ++b) info[28 + b] = languages[b];
        for (int part = 0; part < 3; ++part)
            Add(0x8F, part, block, false, 0, Bytes(info.begin() + part * 12, info.begin() + part * 12 + 12));
    }

    // Spoils the CRC of the pack added `index`-th (from 0).
    void SpoilCrc(std::size_t index) { packs_[index][17] ^= 0x01; }

    Bytes Answer() const
    {
        Bytes answer(4, 0);
        for (const Bytes& pack : packs_) answer.insert(answer.end(), pack.begin(), pack.end());
        answer[0] = std::uint8_t((answer.size() - 2) >> 8);
        answer[1] = std::uint8_t(answer.size() - 2);
        return answer;
    }

private:
    void Add(std::uint8_t type, int track, int block, bool doubleByte, int position, const Bytes& payload)
    {
        Bytes pack = {type, std::uint8_t(track), std::uint8_t(sequence_[block]++),
                      std::uint8_t((doubleByte ? 0x80 : 0) | block << 4 | position)};
        pack.insert(pack.end(), payload.begin(), payload.end());
        const std::uint16_t crc = TestCrc(pack.data(), 16);
        pack.push_back(std::uint8_t(crc >> 8));
        pack.push_back(std::uint8_t(crc));
        packs_.push_back(pack);
    }

    std::vector<Bytes> packs_;
    std::map<int, int> sequence_;
};

constexpr std::array<std::uint8_t, 8> kEnglishGerman = {0x09, 0x08};

// Block 0 in English, block 1 in German; the performer of track 2 is a TAB.
PackWriter TwoLanguages()
{
    PackWriter w;
    w.Text(0x80, 0, false, 0, {"Caf\xE9 Noir", "Opening", "Second Song", "Last"});
    w.Text(0x81, 0, false, 0, {"The Band", "The Band", "\t", "Guest"});
    w.Text(0x82, 0, false, 0, {"", "Writer One"});
    w.BlockSize(0, 0x00, kEnglishGerman);
    w.Text(0x80, 1, false, 0, {"Schwarzer Kaffee", "Er\xF6" "ffnung", "Zweites Lied", "Letztes"});
    w.BlockSize(1, 0x01, kEnglishGerman);
    return w;
}

const CdTextBlock kEnglish = {0, 0x09, 0x00, {"Caf\u00E9 Noir", "The Band", ""},
                              {{"Opening", "The Band", "Writer One"}, {"Second Song", "The Band", ""}, {"Last", "Guest", ""}}};
const CdTextBlock kGerman = {1, 0x08, 0x01, {"Schwarzer Kaffee", "", ""},
                             {{"Er\u00F6ffnung", "", ""}, {"Zweites Lied", "", ""}, {"Letztes", "", ""}}};

Bytes Cut(Bytes answer, std::size_t size)
{
    answer.resize(size);
    return answer;
}

struct ParseCase {
    const char* scenario;
    Bytes answer;
    CdText expected;
};

std::vector<ParseCase> ParseCases()
{
    std::vector<ParseCase> cases;
    cases.push_back({"two languages, each with its own character code and language", TwoLanguages().Answer(),
                     {{kEnglish, kGerman}}});
    {
        // MS-JIS: "日本" for the disc, "テスト" for track 1, two TABs for track 2.
        PackWriter w;
        w.Text(0x80, 0, true, 0, {"\x93\xFA\x96\x7B", "\x83\x65\x83\x58\x83\x67", "\t\t"});
        w.BlockSize(0, 0x80, {0x69});
        cases.push_back({"a double-byte MS-JIS block is decoded to UTF-8", w.Answer(),
                         {{{0, 0x69, 0x80, {"\u65E5\u672C", "", ""},
                            {{"\u30C6\u30B9\u30C8", "", ""}, {"\u30C6\u30B9\u30C8", "", ""}}}}}});
    }
    {
        // "Album\0First " | "song title\0S" | "econd\0Third\0": without the middle
        // pack, tracks 1 and 2 are lost and track 3 is still track 3.
        PackWriter w;
        w.Text(0x80, 0, false, 0, {"Album", "First song title", "Second", "Third"});
        w.BlockSize(0, 0x00, {0x09});
        w.SpoilCrc(1);
        cases.push_back({"a pack with a bad CRC is dropped with the strings it cut into", w.Answer(),
                         {{{0, 0x09, 0x00, {"Album", "", ""}, {{}, {}, {"Third", "", ""}}}}}});
    }
    {
        PackWriter w = TwoLanguages();
        for (std::size_t pack = 10; pack < 17; ++pack) w.SpoilCrc(pack);  // all of block 1
        cases.push_back({"a block whose every pack is bad is not there", w.Answer(), {{kEnglish}}});
    }
    {
        // The answer stops inside block 1's third pack, while its length still
        // claims everything: the disc's title is whole, track 1's is not.
        // Block 1's own 8Fh packs are gone, so its language is block 0's
        // list's, and its character code the default.
        const Bytes whole = TwoLanguages().Answer();
        const CdTextBlock german = {1, 0x08, 0x00, {"Schwarzer Kaffee", "", ""}, {}};
        cases.push_back({"an answer cut inside a pack keeps the whole packs before it",
                         Cut(whole, 4 + 12 * 18 + 9), {{kEnglish, german}}});
    }
    {
        Bytes shorter = TwoLanguages().Answer();
        shorter[0] = 0;
        shorter[1] = 2 + 10 * 18;  // the length covers block 0 only
        cases.push_back({"bytes past the data length are not read", shorter, {{kEnglish}}});
    }
    cases.push_back({"an empty answer", {}, {}});
    cases.push_back({"a header cut short", {0x00, 0x14, 0x00}, {}});
    cases.push_back({"a header without packs", {0x00, 0x02, 0x00, 0x00}, {}});
    return cases;
}

TEST(ParseCdText, DecodesWhatTheValidPacksSayAndNothingElse)
{
    for (const ParseCase& c : ParseCases()) {
        SCOPED_TRACE(c.scenario);
        EXPECT_EQ(ParseCdText(c.answer), c.expected);
    }
}

TEST(ParseCdText, ArbitraryPacksWithValidCrcsStayInsideTheAnswerAndTheTrackRange)
{
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        const std::size_t packs = random() % 40;
        Bytes answer(4 + packs * 18 + random() % 18);  // exactly as large as the answer, for the sanitizers
        for (std::uint8_t& b : answer) b = std::uint8_t(random() % 4 == 0 ? 0 : random());
        for (std::uint8_t* pack = answer.data() + 4; pack + 18 <= answer.data() + answer.size(); pack += 18) {
            pack[0] = std::uint8_t(0x80 + random() % 16);
            const std::uint16_t crc = TestCrc(pack, 16);
            pack[16] = std::uint8_t(crc >> 8);
            pack[17] = std::uint8_t(crc);
        }
        for (const CdTextBlock& block : ParseCdText(answer).blocks) EXPECT_LE(block.tracks.size(), 99u);
    }
}

// The emulated drive's READ TOC format 5, read as from a real drive.
TEST(ReadCdText, TheEmulatedDriveAnswersTheSheetsTextsOrItsCdTextFile)
{
    test::TempDir dir;
    test::WriteAudioFile(dir / "disc.bin", 300, true);
    const std::string tracks = "FILE \"disc.bin\" BINARY\n"
                               "  TRACK 01 AUDIO\n"
                               "    TITLE \"Erste Runde\"\n"
                               "    PERFORMER \"Die \u00C4rzte\"\n"
                               "    INDEX 01 00:00:00\n"
                               "  TRACK 02 AUDIO\n"
                               "    TITLE \"Zweite \u2603\"\n"
                               "    PERFORMER \"Die \u00C4rzte\"\n"
                               "    INDEX 01 00:01:00\n"
                               "  TRACK 03 AUDIO\n"
                               "    SONGWRITER Someone Else\n"
                               "    INDEX 01 00:02:00\n";
    Bytes dump = TwoLanguages().Answer();
    dump.erase(dump.begin(), dump.begin() + 4);
    test::WriteFile(dir / "dump.cdt", std::string(dump.begin(), dump.end()));

    const struct {
        const char* scenario;
        std::string sheet;
        std::optional<CdText> expected;
    } cases[] = {
        {"the sheet's lines, in ISO-8859-1, a repeat sent as a TAB",
         "PERFORMER \"Die \u00C4rzte\"\nTITLE \"Stra\u00DFenmusik\"\n" + tracks,
         CdText{{{0, 0x09, 0x00, {"Stra\u00DFenmusik", "Die \u00C4rzte", ""},
                  {{"Erste Runde", "Die \u00C4rzte", ""}, {"Zweite ?", "Die \u00C4rzte", ""}, {"", "", "Someone Else"}}}}}},
        {"no text lines: no CD-Text", "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n",
         std::nullopt},
        {"a dump's packs", "REM TESSLOW CDTEXT-FILE dump.cdt\n" + tracks, CdText{{kEnglish, kGerman}}},
        {"every pack of the dump with a bad CRC", "REM TESSLOW CDTEXT-FILE dump.cdt\nREM TESSLOW CDTEXT-BADCRC 1\n" + tracks,
         std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        test::WriteCueSheet(dir / "disc.cue", c.sheet);
        ScsiCommand drive;
        ASSERT_TRUE(drive.Open((dir / "disc.cue").string()));
        EXPECT_EQ(ReadCdText(drive), c.expected);
    }
}

TEST(CdTextLanguage, TheUsersLocaleChoosesTheBlockElseBlockZero)
{
    const CdText text{{kEnglish, kGerman}};
    const std::pair<const char*, int> cases[] = {{"de_DE.UTF-8", 1}, {"de", 1}, {"en_GB.UTF-8", 0},
                                                 {"fr_FR@euro", 0},  {"C", 0},  {"", 0}};
    for (const auto& [locale, block] : cases)
        EXPECT_EQ(ChooseCdTextBlock(text, CdTextLanguageOfLocale(locale))->number, block) << locale;
    // Without block 0, the lowest there is; without blocks, none.
    EXPECT_EQ(ChooseCdTextBlock(CdText{{kGerman}}, cd_text_language::kFrench)->number, 1);
    EXPECT_EQ(ChooseCdTextBlock(CdText{}, cd_text_language::kGerman), nullptr);

    // LANGUAGE's first entry, else LC_ALL, LC_MESSAGES, LANG.
    test::ScopedEnv language("LANGUAGE", "de_AT:en"), all("LC_ALL", "fr_FR.UTF-8"), lang("LANG", "it_IT");
    EXPECT_EQ(UserCdTextLanguage(), cd_text_language::kGerman);
    test::ScopedEnv noLanguage("LANGUAGE", ""), noAll("LC_ALL", nullptr), noMessages("LC_MESSAGES", nullptr);
    EXPECT_EQ(UserCdTextLanguage(), cd_text_language::kItalian);
}

}  // namespace
}  // namespace tesslow
