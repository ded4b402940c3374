#include "cli/options.h"

#include <gtest/gtest.h>

namespace tesslow {
namespace {

TEST(CliOptions, RipOptionsParseIntoTheirFields)
{
    const CliOptions options =
        ParseOptions({"--drive", "/tmp/d.cue", "--format", "flac", "--quality", "custom:192", "--tracks", "1,3-5,9",
                      "--output", "/music", "--template", "%5 %2", "--artist-folder", "--album-folder", "--year",
                      "--overwrite", "--no-paranoia", "--eject", "--offset", "+667", "--no-overread"});
    EXPECT_EQ(options.command, CliCommand::Rip);
    EXPECT_EQ(options.drive, "/tmp/d.cue");
    EXPECT_EQ(options.format, FormatCode::Flac);
    ASSERT_TRUE(options.quality.has_value());
    EXPECT_EQ(options.quality->preset, QualityPreset::Custom);
    EXPECT_EQ(options.quality->customKbps, 192);
    EXPECT_EQ(options.tracks, (std::vector<std::uint32_t>{1, 3, 4, 5, 9}));
    EXPECT_EQ(options.output, "/music");
    EXPECT_EQ(options.nameTemplate, "%5 %2");
    EXPECT_TRUE(*options.artistFolder && *options.albumFolder && *options.yearInAlbumFolder && options.overwrite);
    const CliOptions without = ParseOptions({"--no-artist-folder", "--no-album-folder", "--no-year"});
    EXPECT_TRUE(without.artistFolder == false && without.albumFolder == false && without.yearInAlbumFolder == false);
    EXPECT_EQ(options.paranoia, false);
    EXPECT_TRUE(options.eject);
    EXPECT_EQ(options.offset, 667);
    EXPECT_EQ(options.overread, false);
    EXPECT_EQ(ParseOptions({"--offset", "-5880", "--overread"}).offset, -5880);
    EXPECT_EQ(ParseOptions({"--offset", "0"}).offset, 0);
    // 0 is the hidden track; gaps and de-emphasis can be turned off for one rip.
    const CliOptions hidden = ParseOptions({"--tracks", "0,2", "--no-gaps", "--no-deemphasis"});
    EXPECT_EQ(hidden.tracks, (std::vector<std::uint32_t>{0, 2}));
    EXPECT_EQ(hidden.gaps, false);
    EXPECT_EQ(hidden.deemphasis, false);
    EXPECT_EQ(ParseOptions({"--find-offset", "--overread"}).command, CliCommand::FindOffset);
}

TEST(CliOptions, MistakesAreUsageErrors)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--format", "aiff"},
             {"--quality", "loud"},
             {"--quality", "custom:abc"},
             {"--tracks", "5-3"},
             {"--tracks", "1,,2"},
             {"--tracks", "100"},
             {"--offset", "5881"},
             {"--offset", "-5881"},
             {"--offset", "+-3"},
             {"--offset", "12 samples"},
             {"--offset", "+"},
             {"--find-offset", "--info"},
             {"--output"},
             {"--info", "--settings"},
             {"stray"},
         })
        EXPECT_THROW(ParseOptions(args), UsageError) << args[0];
    EXPECT_EQ(ParseOptions({"--info", "--json", "--no-lookup"}).command, CliCommand::Info);
}

}  // namespace
}  // namespace tesslow
