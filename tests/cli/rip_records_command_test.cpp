#include "app/disc_record.h"
#include "drive/toc_reader.h"
#include "metadata/disc_id.h"
#include "metadata/title_cache.h"
#include "support/accuraterip_data.h"
#include "support/command.h"
#include "support/http_fixture_server.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RunProgram;

// What tesslow-rip leaves beside the files: the rip log, read by a YAML
// reader and the archives' hash rule; the CUE sheet, loaded back through the
// emulated drive; and the extra reads where AccurateRip (a database on
// 127.0.0.1) cannot vouch for a track.
class RipRecords : public ::testing::Test {
protected:
    // Four tracks of 600 sectors, the second and third with gaps (INDEX 00),
    // the second with an ISRC; the disc has a catalog number.
    void Insert(std::vector<std::string> conditions = {})
    {
        written = test::WriteTestDisc(dir.Path(), {.tracks = {{600}, {600, false, 75, 1, "GBAYE0601498"}, {600, false, 40}, {600}},
                                                   .conditions = std::move(conditions),
                                                   .catalog = "0724384960650"});
        DiscRecords records;
        ReadToc(records, written.cue.string());
        toc = records[written.cue.string()].tracks;
        ASSERT_EQ(toc.size(), 4u);
        const auto info = RunProgram("tesslow-rip", {"--info", "--json", "--no-lookup", "--drive", written.cue.string()});
        const std::size_t at = info.out.find("\"accuraterip_id\": \"");
        ASSERT_NE(at, std::string::npos) << info.out;
        id = info.out.substr(at + 19, 30);
    }
    std::string Audio(std::size_t track) const { return test::DiscBytes(written, toc[track].start, toc[track].length); }

    // The database knows every track but those in `unknown`.
    void Serve(const std::vector<std::size_t>& unknown = {})
    {
        std::vector<test::DbarEntry> entries;
        for (std::size_t t = 0; t < 4; ++t) {
            const test::TrackSums sums = test::SumsOf(Audio(t), t == 0, t == 3);
            const bool known = std::find(unknown.begin(), unknown.end(), t) == unknown.end();
            entries.push_back({6, known ? sums.v1 : sums.v1 + 1, sums.frame450});
        }
        test::WriteFile(test::DbarFixture(serverRoot.Path(), id), test::DbarResponse(id, entries));
    }

    // Titles in the title cache, with what CUE and YAML syntax cannot take as it is.
    void Name()
    {
        DiscRecords records;
        ReadToc(records, written.cue.string());
        AlbumInfo album;
        album.artist = "The \"Loud\" Band";
        album.album = "Live: at #1";
        album.trackTitles = {"Opening", "Say \"Hi\"", "Tab\there", "Close"};
        TitleCache cache(sandbox.DataHome() / "Corvalen" / "CDDBCache.xml");
        cache.Store(DiscIdFromRawToc(records[written.cue.string()].rawToc), album);
        ASSERT_TRUE(cache.Write());
    }

    test::ProgramResult Rip(std::vector<std::string> extra) const
    {
        std::vector<std::string> args = {"--drive", written.cue.string(), "--output", (dir / "out").string(),
                                          "--no-lookup", "--format", "wav"};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunProgram("tesslow-rip", args, {"TESSLOW_ACCURATERIP_URL=" + server.Url()});
    }

    // The single file of the output folder that ends so.
    fs::path Record(const std::string& extension) const
    {
        fs::path found;
        for (const auto& entry : fs::directory_iterator(dir / "out"))
            if (entry.path().extension() == extension) {
                EXPECT_TRUE(found.empty()) << "two " << extension << " files";
                found = entry.path();
            }
        return found;
    }

    // The log as a YAML reader sees it (tests/support/rip_log_summary.py).
    static std::string Summary(const fs::path& log)
    {
        const auto read = test::RunCommand(
            {"/usr/bin/python3", std::string(TESSLOW_SOURCE_DIR) + "/tests/support/rip_log_summary.py", log.string()});
        EXPECT_EQ(read.exitCode, 0) << read.err;
        return read.out;
    }
    static std::string Track(const std::string& summary, int number, const std::string& key)
    {
        const std::string prefix = "Tracks/" + std::to_string(number) + "/" + key + ": ";
        const std::size_t at = summary.find("\n" + prefix);
        if (at == std::string::npos) return "(none)";
        const std::size_t start = at + 1 + prefix.size();
        return summary.substr(start, summary.find('\n', start) - start);
    }

    test::UserSandbox sandbox;
    test::TempDir dir;
    test::TempDir serverRoot;
    test::HttpFixtureServer server{serverRoot.Path()};
    test::WrittenDisc written;
    std::vector<TocEntry> toc;
    std::string id;
};

TEST_F(RipRecords, TheLogTellsTheRipInTheArchivesShapeAndTheCueSheetGivesTheDiscBack)
{
    Insert({"UNREADABLE 1000 1002", "OFFSET 6"});  // inside track 2, on a drive 6 samples late
    Name();
    Serve({1});
    const auto rip = Rip({"--paranoia", "--offset", "+6"});
    ASSERT_EQ(rip.exitCode, 3) << rip.out << rip.err;

    const fs::path log = Record(".log");
    EXPECT_EQ(log.filename(), "The _Loud_ Band - Live_ at #1.log");
    const std::string summary = Summary(log);
    EXPECT_EQ(summary.rfind("hash ok\n", 0), 0u) << summary;
    for (const std::string& line : std::vector<std::string>{
             "Log created by: Tesslow ",
             "Ripping phase information/Drive: TESSLOW EMULATED CD-ROM (revision 1.0)",
             "Ripping phase information/Jitter correction: True",
             "Ripping phase information/Read offset correction: 6",
             "Ripping phase information/Read offset source: given for this rip",
             "Ripping phase information/Overread into lead-out: False",
             "Ripping phase information/Verify reads: True",
             "Ripping phase information/Gap detection: Q sub-channel",
             "CD metadata/Catalog number: 0724384960650",
             "CD metadata/Release/Artist: The \"Loud\" Band",
             "CD metadata/Release/Title: Live: at #1",
             "CD metadata/CDDB Disc ID: " + id.substr(22, 8),
             "CD metadata/AccurateRip ID: " + id,
             "TOC/2/Start sector: " + std::to_string(toc[1].start) +
                 "\nTOC/2/End sector: " + std::to_string(toc[1].start + toc[1].length - 1),
             "Conclusive status report/AccurateRip summary: 3 of 4 tracks accurately ripped",
             "Conclusive status report/Health status: There were errors",
         })
        EXPECT_NE(summary.find("\n" + line), std::string::npos) << line << "\n" << summary;
    EXPECT_NE(summary.find("\nCD metadata/MusicBrainz Disc ID: "), std::string::npos);

    // Confirmed by AccurateRip: one read. The scratched track: its error, and
    // two reads that agree (the scratch reads the same each time).
    EXPECT_EQ(Track(summary, 1, "Filename"), "The _Loud_ Band - [01] Opening.wav");
    EXPECT_EQ(Track(summary, 1, "Reads"), "1");
    EXPECT_EQ(Track(summary, 1, "Test CRC"), "(none)");
    EXPECT_EQ(Track(summary, 1, "AccurateRip v1/Result"), "Found, exact match");
    EXPECT_EQ(Track(summary, 1, "AccurateRip v1/Confidence"), "6");
    EXPECT_EQ(Track(summary, 1, "Status"), "Copy OK");
    EXPECT_EQ(Track(summary, 2, "Reads"), "2");
    EXPECT_EQ(Track(summary, 2, "Test CRC"), Track(summary, 2, "Copy CRC"));
    EXPECT_EQ(Track(summary, 2, "AccurateRip v1/Result"), "Found, NO exact match");
    EXPECT_EQ(Track(summary, 2, "Status").rfind("Copy finished with errors: ", 0), 0u) << Track(summary, 2, "Status");
    // Gaps as the sub-channel gave them, mm:ss:ff.
    EXPECT_EQ(Track(summary, 1, "Pre-gap length"), "00:00:00");
    EXPECT_EQ(Track(summary, 2, "Pre-gap length"), "00:01:00");
    EXPECT_EQ(Track(summary, 3, "Pre-gap length"), "00:00:40");
    EXPECT_EQ(Track(summary, 2, "ISRC"), "GBAYE0601498");
    for (const char* key : {"Peak level", "Pre-emphasis", "Extraction speed", "AccurateRip v2/Local CRC"})
        EXPECT_NE(Track(summary, 3, key), "(none)") << key;
    // No path outside the output folder.
    EXPECT_EQ(ReadFile(log).find(sandbox.Home().string()), std::string::npos);

    // The CUE sheet: its files, gaps appended to the track before; loaded
    // back, the disc's own table of contents.
    const fs::path cue = Record(".cue");
    EXPECT_EQ(cue.stem(), log.stem());
    const std::string sheet = ReadFile(cue);
    EXPECT_NE(sheet.find("REM DISCID " + [&] {
        std::string upper = id.substr(22, 8);
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return upper;
    }()), std::string::npos) << sheet;
    EXPECT_NE(sheet.find("PERFORMER \"The 'Loud' Band\"\nTITLE \"Live: at #1\"\n"), std::string::npos) << sheet;
    EXPECT_NE(sheet.find("  TRACK 02 AUDIO\n    TITLE \"Say 'Hi'\"\n    PERFORMER \"The 'Loud' Band\"\n"), std::string::npos)
        << sheet;
    EXPECT_NE(sheet.find("TITLE \"Tab here\""), std::string::npos) << sheet;
    EXPECT_NE(sheet.find("\nCATALOG 0724384960650\n"), std::string::npos) << sheet;
    EXPECT_NE(sheet.find("    ISRC GBAYE0601498\n"), std::string::npos) << sheet;
    // The gaps too: INDEX 00 inside the file before gives the same pregaps.
    auto tocOf = [](const std::string& sheetPath) {
        const auto info = RunProgram("tesslow-rip", {"--info", "--json", "--gaps", "--no-lookup", "--drive", sheetPath});
        EXPECT_EQ(info.exitCode, 0) << info.err;
        const std::size_t from = info.out.find("\"tracks\": ["), to = info.out.find("\"accuraterip_id\"");
        std::string toc = info.out.substr(from, to - from);
        // Only the positions: the titles differ.
        std::string positions;
        for (std::size_t at = toc.find("\"start\""); at != std::string::npos; at = toc.find("\"start\"", at + 1))
            positions += toc.substr(at, toc.find(", \"title\"", at) - at) + " " +
                         toc.substr(toc.find("\"pregap\"", at), toc.find(", \"preemphasis\"", at) - toc.find("\"pregap\"", at)) + "\n";
        return positions + info.out.substr(info.out.find("\"leadout\""), 20);
    };
    EXPECT_EQ(tocOf(cue.string()), tocOf(written.cue.string()));
    std::istringstream lines(sheet);
    int files = 0;
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("FILE \"")) continue;
        const std::string name = line.substr(6, line.rfind('"') - 6);
        const auto probe = test::RunCommand({"ffprobe", "-v", "error", "-show_entries", "stream=codec_name", "-of", "csv=p=0",
                                             (dir / "out" / name).string()});
        EXPECT_EQ(probe.out, "pcm_s16le\n") << name << probe.err;
        ++files;
    }
    EXPECT_EQ(files, 4);
}

TEST_F(RipRecords, WhereAccurateRipCannotVouchTheTracksAreReadUntilTwoReadsAgree)
{
    const struct {
        const char* name;
        std::vector<std::string> conditions;
        bool known;  // the database knows the disc
        int exitCode;
        std::vector<std::string> reads;  // per track
        std::string secondStatus;
    } cases[] = {
        {"a disc the database confirms is read once", {}, true, 0, {"1", "1", "1", "1"}, "Copy OK"},
        {"a disc the database does not know is read twice", {}, false, 0, {"2", "2", "2", "2"}, "Copy OK"},
        {"a first read that hides an error is outvoted", {"FLAKY 700 705 1"}, false, 0, {"2", "3", "2", "2"}, "Copy OK"},
        {"reads that never agree", {"FLAKY 700 705"}, false, 3, {"2", "5", "2", "2"}, "Error, CRC mismatch"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir / "out");
        fs::remove_all(serverRoot.Path() / "accuraterip");
        Insert(c.conditions);
        if (c.known) Serve();
        const auto rip = Rip({"--no-paranoia", "--offset", "0"});
        EXPECT_EQ(rip.exitCode, c.exitCode) << rip.out << rip.err;
        const std::string summary = Summary(Record(".log"));
        for (int t = 1; t <= 4; ++t) EXPECT_EQ(Track(summary, t, "Reads"), c.reads[std::size_t(t - 1)]) << "track " << t;
        EXPECT_EQ(Track(summary, 2, "Status"), c.secondStatus);
        if (c.exitCode == 0) {
            EXPECT_TRUE(ReadFile(dir / "out" / "Track 02.wav").substr(46) == Audio(1)) << "the agreeing reads' file";
            EXPECT_EQ(Track(summary, 2, "Test CRC"), c.known ? "(none)" : Track(summary, 2, "Copy CRC"));
        } else {
            EXPECT_NE(rip.out.find("  Track 02.wav: no two of 5 reads agree; the file holds the first read\n"),
                      std::string::npos)
                << rip.out;
            EXPECT_TRUE(fs::exists(dir / "out" / "Track 02.wav")) << "the file is kept";
            EXPECT_EQ(Track(summary, 2, "Test CRC"), "(none)");
        }
    }
}

}  // namespace
}  // namespace tesslow
