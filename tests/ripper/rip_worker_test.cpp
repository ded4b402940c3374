#include "ripper/rip_worker.h"

#include "accuracy/accuraterip_id.h"
#include "app/settings.h"
#include "drive/emulated_drive.h"
#include "drive/scsi_command.h"
#include "drive/toc_reader.h"
#include "encoding/overwrite.h"
#include "metadata/naming.h"
#include "platform/desktop_shell.h"
#include "platform/messages.h"
#include "support/file_size_limit.h"
#include "support/http_fixture_server.h"
#include "support/recording_shell.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>

namespace tesslow {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RecordingSink;
using test::TempDir;
using test::TestDisc;
using test::TestTrack;
using test::WriteFile;

class AnswerNo final : public OverwriteQuestion {
public:
    Reply Ask(const std::string&) override { return {Answer::Skip, false}; }
};

// A rip of a disc in an emulated drive into a temporary folder, as WAV files
// named "NN" by the track number.
class RipWorkerTest : public ::testing::Test {
protected:
    void Insert(const TestDisc& disc)
    {
        written = test::WriteTestDisc(dir.Path(), disc);
        key = written.cue.string();
        ReadToc(records, key);
        job.driveKey = key;
        job.format = FormatCode::Wav;
        job.NameTemplate = "%5";
        job.OutputFolder = (dir / "out").string();
        records[key].album.trackTitles = {"a", "b", "c", "d"};
    }

    RipResult Rip(std::vector<std::uint32_t> tracks, RipSettings settings = {},
                  const std::function<void(RipWorkerSetup&)>& adjust = {})
    {
        job.SelectedTracks = std::move(tracks);
        RipWorkerSetup setup;
        setup.job = job;
        setup.disc = records[key];
        setup.settings = settings;
        setup.sink = sink;
        setup.overwrite = std::make_shared<OverwritePolicy>();
        setup.question = std::make_shared<AnswerNo>();
        setup.shell = shell;
        if (adjust) adjust(setup);
        return RipWorker(std::move(setup)).Run();
    }

    // Everything in the output folder, hidden files included.
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir / "out")) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path Output(int number) const { return dir / "out" / (std::string(number < 10 ? "0" : "") + std::to_string(number) + ".wav"); }

    bool TrayOpen()
    {
        auto* drive = dynamic_cast<EmulatedDrive*>(records[key].drive->Transport().get());
        return drive && drive->TrayOpen();
    }

    TempDir dir;
    test::WrittenDisc written;
    std::string key;
    DiscRecords records;
    RipJob job;
    std::shared_ptr<RecordingSink> sink = std::make_shared<RecordingSink>();
    std::shared_ptr<test::RecordingShell> shell = std::make_shared<test::RecordingShell>();
};

TEST_F(RipWorkerTest, EveryTrackGivesExactlyItsSectorsAndTheProgressOnlyMovesOn)
{
    Insert({.tracks = {{.sectors = 300}, {.sectors = 77}, {.sectors = 26}}});
    EXPECT_EQ(Rip({0, 1, 2}, {.openFolderWhenDone = true}), RipResult::Success);

    for (int t = 0; t < 3; ++t) {
        const std::string file = ReadFile(Output(t + 1));
        ASSERT_GE(file.size(), 46u);
        EXPECT_EQ(file.substr(46), test::DiscBytes(written, written.starts[t], records[key].tracks[t].length)) << t;
    }
    EXPECT_TRUE(sink->ErrorLines().empty());
    const auto ids = sink->Ids();
    EXPECT_EQ(ids.front(), UM_RIP_STARTED);
    EXPECT_EQ(ids.back(), UM_RIP_FINISHED);
    EXPECT_EQ(sink->Of(UM_RIP_TOTAL_RANGE).at(0).message.wParam, (300u + 77u + 26u) * 2352u);
    std::int64_t lastJob = 0;
    std::uintptr_t lastTrack = 0;
    // The progress follows the drive's reads, which run ahead of the audio
    // delivered: it moves on, never back, and ends at the job's end.
    for (const auto& progress : sink->Of(UM_RIP_PROGRESS)) {
        EXPECT_GT(progress.message.lParam - lastJob, 0);
        lastJob = progress.message.lParam;
        lastTrack = progress.message.wParam;
    }
    EXPECT_EQ(lastJob, (300 + 77 + 26) * 2352);
    EXPECT_EQ(lastTrack, 26u * 2352u);
    EXPECT_EQ(shell->Explored(), std::vector<std::string>{(dir / "out").string() + "/"});
}

TEST_F(RipWorkerTest, AnEmptySelectionStillRunsTheEndActions)
{
    Insert({.tracks = {{.sectors = 100}}});
    Rip({}, {.ejectWhenDone = true, .openFolderWhenDone = true});
    EXPECT_EQ(sink->Ids(), (std::vector<std::uint32_t>{UM_RIP_STARTED, UM_RIP_TOTAL_RANGE, UM_RIP_FINISHED}));
    EXPECT_EQ(sink->Of(UM_RIP_TOTAL_RANGE).at(0).message.wParam, 0u);
    EXPECT_TRUE(TrayOpen());
    EXPECT_EQ(shell->Explored().size(), 1u);
}

TEST_F(RipWorkerTest, CancelBeforeTheFirstTrackCreatesNothingButStillEjects)
{
    Insert({.tracks = {{.sectors = 100}, {.sectors = 100}}});
    sink->Answer([](const Message& m) -> std::intptr_t { return m.id == UM_RIP_QUERY_CANCEL; });
    Rip({0, 1}, {.ejectWhenDone = true, .openFolderWhenDone = true});
    EXPECT_FALSE(fs::exists(dir / "out"));
    EXPECT_TRUE(sink->ErrorLines().empty());
    EXPECT_TRUE(sink->Of(UM_RIP_TRACK_STARTED).empty());
    EXPECT_TRUE(TrayOpen());
    EXPECT_TRUE(shell->Explored().empty());
}

TEST_F(RipWorkerTest, ACancelWhileTheGapsAreSoughtStartsNoTrackAndTheStepShowsFirst)
{
    Insert({.tracks = {{.sectors = 300}, {.sectors = 300, .indexZero = 20}}});
    sink->Answer([](const Message& m) -> std::intptr_t { return m.id == UM_RIP_QUERY_CANCEL; });
    EXPECT_EQ(Rip({0, 1}, {.detectGaps = true}), RipResult::Canceled);
    EXPECT_TRUE(sink->Of(UM_RIP_TRACK_STARTED).empty());
    ASSERT_FALSE(sink->Of(UM_RIP_STEP).empty());
    EXPECT_EQ(sink->Of(UM_RIP_STEP).front().message.wParam, static_cast<std::uintptr_t>(RipStep::ReadingSubchannel));
    EXPECT_FALSE(fs::exists(Output(1)));
}

TEST_F(RipWorkerTest, CancelMidTrackDeletesThePartialFileAndStartsNoOtherTrack)
{
    Insert({.tracks = {{.sectors = 2000}, {.sectors = 100}}});
    std::atomic<int> questions{0};
    // Cancel at the third chunk of the first track.
    sink->Answer([&](const Message& m) -> std::intptr_t { return m.id == UM_RIP_QUERY_CANCEL && ++questions > 3; });
    EXPECT_EQ(Rip({0, 1}, {.openFolderWhenDone = true}), RipResult::Canceled);
    EXPECT_EQ(sink->ErrorLines(), std::vector<std::string>{"01.wav: Canceled."});
    EXPECT_FALSE(fs::exists(Output(1)));
    EXPECT_FALSE(fs::exists(Output(2)));
    EXPECT_EQ(sink->Of(UM_RIP_TRACK_STARTED).size(), 1u);
    EXPECT_TRUE(shell->Explored().empty());
    EXPECT_EQ(sink->Ids().back(), UM_RIP_FINISHED);
}

TEST_F(RipWorkerTest, ADeclinedOverwriteSkipsTheFileAndRipsTheNext)
{
    Insert({.tracks = {{.sectors = 100}, {.sectors = 100}}});
    WriteFile(Output(1), "my own file");
    EXPECT_EQ(Rip({0, 1}), RipResult::CompletedWithErrors);
    EXPECT_EQ(sink->ErrorLines(), std::vector<std::string>{"01.wav: file skipped"});
    EXPECT_EQ(ReadFile(Output(1)), "my own file");
    EXPECT_EQ(fs::file_size(Output(2)), 46u + 100u * 2352u);
    // The job bar ends short of its range: the skipped track is not made up for.
    EXPECT_EQ(sink->Of(UM_RIP_PROGRESS).back().message.lParam, 100 * 2352);
}

// A file that holds the disc's audio exactly, silence over [silentFrom,
// silentTo) of the track's sectors, if given.
std::string Expected(const test::WrittenDisc& disc, const TocEntry& track, std::int32_t silentFrom = 0,
                     std::int32_t silentTo = 0)
{
    std::string audio = test::DiscBytes(disc, track.start, track.length);
    std::fill(audio.begin() + silentFrom * 2352, audio.begin() + silentTo * 2352, '\0');
    return audio;
}

TEST_F(RipWorkerTest, AFileReportedAsRippedHoldsTheDiscsAudioExactlyOrItsTrackIsReported)
{
    // Three tracks of four seconds, each starting on a whole second.
    struct Scenario {
        const char* name;
        std::vector<std::string> conditions;
        bool correction;
        RipResult result;
        std::vector<std::string> lines;
    };
    const Scenario scenarios[] = {
        {"a clean disc with correction", {}, true, RipResult::Success, {}},
        {"a clean disc without correction", {}, false, RipResult::Success, {}},
        {"a scratch in track 2 with correction", {"UNREADABLE 400 404"}, true, RipResult::CompletedWithErrors,
         {"02.wav: 5 sectors could not be read; the file has silence there"}},
        {"a scratch in track 2 without correction", {"UNREADABLE 400 404"}, false, RipResult::CompletedWithErrors,
         {"02.wav: CD read error."}},
        {"one unreadable sector", {"UNREADABLE 899"}, true, RipResult::CompletedWithErrors,
         {"03.wav: 1 sector could not be read; the file has silence there"}},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        fs::remove_all(dir / "out");
        sink = std::make_shared<RecordingSink>();
        Insert({.tracks = {{.sectors = 300}, {.sectors = 300}, {.sectors = 300}}, .conditions = scenario.conditions});
        EXPECT_EQ(Rip({0, 1, 2}, {.jitterCorrection = scenario.correction}), scenario.result);
        EXPECT_EQ(sink->ErrorLines(), scenario.lines);
        const auto& tracks = records[key].tracks;
        EXPECT_EQ(ReadFile(Output(1)).substr(46), Expected(written, tracks[0]));
        if (scenario.lines.empty()) {
            EXPECT_EQ(ReadFile(Output(2)).substr(46), Expected(written, tracks[1]));
            EXPECT_EQ(ReadFile(Output(3)).substr(46), Expected(written, tracks[2]));
        } else if (scenario.correction && scenario.lines[0].rfind("02", 0) == 0) {
            EXPECT_EQ(ReadFile(Output(2)).substr(46), Expected(written, tracks[1], 100, 105));  // kept, silence there
            EXPECT_EQ(ReadFile(Output(3)).substr(46), Expected(written, tracks[2]));
        } else if (scenario.correction) {
            EXPECT_EQ(ReadFile(Output(3)).substr(46), Expected(written, tracks[2], 299, 300));
        } else {
            EXPECT_FALSE(fs::exists(Output(2)));  // a failed track leaves no file
            EXPECT_EQ(ReadFile(Output(3)).substr(46), Expected(written, tracks[2]));
        }
    }
}

TEST_F(RipWorkerTest, OnAJitteryDriveEveryTrackIsExactOrReportedWithCorrection)
{
    // With the first seed the library pads the end of the last track, with
    // the second it gets it right.
    for (const char* seed : {"SEED 1", "SEED 4"}) {
        SCOPED_TRACE(seed);
        fs::remove_all(dir / "out");
        sink = std::make_shared<RecordingSink>();
        Insert({.tracks = {{.sectors = 450}, {.sectors = 450}, {.sectors = 450}}, .conditions = {"JITTER 30", seed}});
        Rip({0, 1, 2}, {.jitterCorrection = true});
        const auto lines = sink->ErrorLines();
        for (int t = 1; t <= 3; ++t) {
            const std::string name = Output(t).filename().string();
            const bool reported = std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
                return line.rfind(name + ": ", 0) == 0;
            });
            const bool exact = ReadFile(Output(t)).substr(46) == Expected(written, records[key].tracks[t - 1]);
            EXPECT_TRUE(exact || reported) << name << " is neither exact nor reported";
            EXPECT_FALSE(exact && reported) << name << " is exact but reported";
        }
    }
}

TEST_F(RipWorkerTest, AnImageCutDuringTheRipReportsTheTracksThatLostAudio)
{
    for (const bool correction : {true, false}) {
        SCOPED_TRACE(correction);
        fs::remove_all(dir / "out");
        sink = std::make_shared<RecordingSink>();
        Insert({.tracks = {{.sectors = 300}, {.sectors = 300}, {.sectors = 300}}});
        // As soon as track 1 is done, the image loses everything from the
        // middle of track 2 on.
        sink->Answer([&](const Message& m) -> std::intptr_t {
            const auto progress = sink->Of(UM_RIP_PROGRESS);
            if (m.id == UM_RIP_QUERY_CANCEL && sink->Of(UM_RIP_TRACK_STARTED).size() == 1 && !progress.empty() &&
                progress.back().message.wParam == 300u * 2352u && fs::file_size(written.bin) > 450u * 2352u)
                fs::resize_file(written.bin, 450 * 2352);
            return 0;
        });
        EXPECT_EQ(Rip({0, 1, 2}, {.jitterCorrection = correction}), RipResult::CompletedWithErrors);
        if (correction) {
            EXPECT_EQ(sink->ErrorLines(), (std::vector<std::string>{
                                              "02.wav: 150 sectors could not be read; the file has silence there",
                                              "03.wav: 300 sectors could not be read; the file has silence there"}));
            EXPECT_EQ(ReadFile(Output(2)).substr(46), Expected(written, records[key].tracks[1], 150, 300));
        } else {
            EXPECT_EQ(sink->ErrorLines(), (std::vector<std::string>{"02.wav: CD read error.", "03.wav: CD read error."}));
            EXPECT_FALSE(fs::exists(Output(2)));
        }
        EXPECT_EQ(ReadFile(Output(1)).substr(46), Expected(written, records[key].tracks[0]));
    }
}

TEST_F(RipWorkerTest, A10KilobyteArtistMakesFilesInAShortenedFolder)
{
    Insert({.tracks = {{.sectors = 100}}});
    records[key].album.artist = std::string(10000, 'A');
    job.OutputFolder = ComposeOutputFolder((dir / "out").string(), {.artist = true}, records[key]);
    EXPECT_EQ(Rip({0}), RipResult::Success);
    EXPECT_TRUE(sink->ErrorLines().empty());
    EXPECT_EQ(fs::file_size(dir / "out" / std::string(255, 'A') / "01.wav"), 46u + 100u * 2352u);
}

TEST_F(RipWorkerTest, AFileThatCannotBeCreatedIsReportedAndNothingIsDeleted)
{
    Insert({.tracks = {{.sectors = 100}}});
    WriteFile(dir / "blocker", "a file where the folder should be");
    job.OutputFolder = (dir / "blocker").string();
    Rip({0});
    ASSERT_EQ(sink->ErrorLines().size(), 1u);
    EXPECT_EQ(sink->ErrorLines()[0], "01.wav: cannot create file (a file is in the way: Not a directory)");
    EXPECT_EQ(ReadFile(dir / "blocker"), "a file where the folder should be");
}

// Asked about an existing file, the user presses Ctrl-C: the question ends
// unanswered and the cancel is requested at once.
class InterruptedQuestion final : public OverwriteQuestion {
public:
    explicit InterruptedQuestion(std::shared_ptr<std::atomic<bool>> interrupted) : interrupted_(std::move(interrupted)) {}
    Reply Ask(const std::string&) override
    {
        *interrupted_ = true;
        return {Answer::CannotAsk, false};
    }

private:
    std::shared_ptr<std::atomic<bool>> interrupted_;
};

TEST_F(RipWorkerTest, AnOldFileIsReplacedOnlyByACompleteNewOne)
{
    struct Case {
        const char* name;
        std::vector<std::string> conditions;
        std::function<std::intptr_t(const Message&)> answer;  // of the sent messages
        bool fullDisk;
        RipResult result;
        std::string line;
    };
    auto cancelAtThirdChunk = [](std::shared_ptr<std::atomic<int>> asked) {
        return [asked](const Message& m) -> std::intptr_t { return m.id == UM_RIP_QUERY_CANCEL && ++*asked > 4; };
    };
    const Case cases[] = {
        {"a cancel in the middle of the track", {}, cancelAtThirdChunk(std::make_shared<std::atomic<int>>(0)), false,
         RipResult::Canceled, "01.wav: Canceled."},
        {"a read error", {"UNREADABLE 200"}, {}, false, RipResult::CompletedWithErrors, "01.wav: CD read error."},
        {"a full disk", {}, {}, true, RipResult::CompletedWithErrors,
         "01.wav: write error (the file is larger than allowed: File too large)"},
        {"nothing wrong", {}, {}, false, RipResult::Success, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir / "out");
        sink = std::make_shared<RecordingSink>();
        if (c.answer) sink->Answer(c.answer);
        Insert({.tracks = {{.sectors = 300}}, .conditions = c.conditions});
        WriteFile(Output(1), "the good file of an earlier rip");
        job.AlwaysOverwrite = true;
        std::optional<test::FileSizeLimit> full;
        if (c.fullDisk) full.emplace(100000);
        EXPECT_EQ(Rip({0}), c.result);
        full.reset();
        EXPECT_EQ(sink->ErrorLines(), c.line.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.line});
        EXPECT_EQ(Entries(), std::vector<std::string>{"01.wav"}) << "no partial file, hidden or not";
        if (c.result == RipResult::Success)
            EXPECT_EQ(ReadFile(Output(1)).substr(46), Expected(written, records[key].tracks[0]));
        else
            EXPECT_EQ(ReadFile(Output(1)), "the good file of an earlier rip");
    }
}

TEST_F(RipWorkerTest, NoTwoTracksOfAJobShareAPath)
{
    Insert({.tracks = {{.sectors = 30}, {.sectors = 40}, {.sectors = 50}}});
    job.NameTemplate = "same";  // no track number: every track gets the same name
    EXPECT_EQ(Rip({0, 1, 2}), RipResult::CompletedWithErrors);
    EXPECT_EQ(sink->ErrorLines(),
              (std::vector<std::string>{"same (2).wav: named so because an earlier track of this rip has the name same.wav",
                                        "same (3).wav: named so because an earlier track of this rip has the name same.wav"}));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"same (2).wav", "same (3).wav", "same.wav"}));
    EXPECT_EQ(fs::file_size(dir / "out" / "same (3).wav"), 46u + 50u * 2352u);

    // An artist too long for a name: it is cut, the track numbers stay, and
    // every track keeps a name of its own.
    fs::remove_all(dir / "out");
    sink = std::make_shared<RecordingSink>();
    std::string artist;
    for (int i = 0; i < 90; ++i) artist += "\xE9\x9F\xB3";  // 音, three bytes each
    records[key].album.artist = artist;
    job.NameTemplate = kDefaultNameTemplate;
    EXPECT_EQ(Rip({0, 1, 2}), RipResult::Success);
    EXPECT_TRUE(sink->ErrorLines().empty());
    const std::vector<std::string> names = Entries();
    ASSERT_EQ(names.size(), 3u);
    for (std::size_t t = 0; t < 3; ++t) {
        EXPECT_LE(names[t].size(), 255u);
        EXPECT_NE(names[t].find(" - [0" + std::to_string(t + 1) + "] "), std::string::npos) << names[t];
        EXPECT_TRUE(names[t].ends_with(".wav"));
        EXPECT_EQ(ReadFile(dir / "out" / names[t]).substr(46), Expected(written, records[key].tracks[t]));
    }
}

TEST_F(RipWorkerTest, ACancelWhileTheQuestionIsOpenStartsNoFurtherTrack)
{
    Insert({.tracks = {{.sectors = 100}, {.sectors = 100}}});
    WriteFile(Output(1), "mine");
    auto interrupted = std::make_shared<std::atomic<bool>>(false);
    EXPECT_EQ(Rip({0, 1}, {}, [&](RipWorkerSetup& setup) {
                  setup.question = std::make_shared<InterruptedQuestion>(interrupted);
                  setup.cancelRequested = interrupted;
              }),
              RipResult::Canceled);
    EXPECT_EQ(sink->ErrorLines(), std::vector<std::string>{"01.wav: Canceled."});
    EXPECT_EQ(sink->Of(UM_RIP_TRACK_STARTED).size(), 1u);
    EXPECT_EQ(Entries(), std::vector<std::string>{"01.wav"});
    EXPECT_EQ(ReadFile(Output(1)), "mine");
}

TEST_F(RipWorkerTest, ACancelBeforeASlowDriveDeliversAnythingEndsTheTrackWithoutWaitingForIt)
{
    // A drive at single speed: the library reads the whole track and more
    // before it delivers its first sector.
    Insert({.tracks = {{.sectors = 900}}, .conditions = {"SPEED 75"}});
    std::atomic<int> asked{0};
    // No to the questions before the track, yes to the first one asked while
    // the worker waits for data.
    sink->Answer([&](const Message& m) -> std::intptr_t { return m.id == UM_RIP_QUERY_CANCEL && ++asked > 2; });
    EXPECT_EQ(Rip({0}, {.jitterCorrection = true}), RipResult::Canceled);
    EXPECT_EQ(sink->ErrorLines(), std::vector<std::string>{"01.wav: Canceled."});
    EXPECT_TRUE(sink->Of(UM_RIP_PROGRESS).empty()) << "the cancel came before any data";
    EXPECT_TRUE(Entries().empty());
    auto* drive = dynamic_cast<EmulatedDrive*>(records[key].drive->Transport().get());
    ASSERT_NE(drive, nullptr);
    EXPECT_LT(drive->Statistics().sectorsRead, 900u) << "the extraction did not stop";
}

TEST_F(RipWorkerTest, ADatabaseThatNeverAnswersIsGivenUpOnAndTheRipEndsWithoutAnErrorWithTheOffsetUnknown)
{
    Insert({.tracks = {{.sectors = 100}, {.sectors = 100}}});
    TempDir serverRoot;
    test::HttpFixtureServer server(serverRoot.Path());
    const std::optional<AccurateRipId> id = AccurateRipIdOf(records[key].rawToc);
    ASSERT_TRUE(id);
    WriteFile(serverRoot.Path().string() + id->DbarPath() + ".xml.hang", "");
    std::optional<AccuracyOutcome> accuracy;
    sink->Answer([&](const Message& m) -> std::intptr_t {
        if (m.id == UM_RIP_ACCURACY) accuracy = *reinterpret_cast<const AccuracyOutcome*>(m.wParam);
        return 0;
    });
    EXPECT_EQ(Rip({0, 1}, {.accurateRip = true, .accurateRipUrl = server.Url(), .accurateRipLimit = std::chrono::seconds(1)}),
              RipResult::Success);
    ASSERT_TRUE(accuracy);
    EXPECT_EQ(accuracy->status, AccuracyOutcome::Status::Error);
    // Given up on by the job or by the look-up itself, whichever comes first.
    EXPECT_EQ(accuracy->summary.rfind("AccurateRip: the database could not be asked (", 0), 0u) << accuracy->summary;
    EXPECT_EQ(accuracy->tracks.size(), 2u);
    EXPECT_TRUE(sink->ErrorLines().empty());
    EXPECT_EQ(server.Requests().size(), 1u);
    // The offset search waited for the database as long as it may, then the
    // tracks were read uncorrected, and the rip says so.
    EXPECT_EQ(sink->Of(UM_RIP_STEP).size(), 2u);
    EXPECT_EQ(sink->Notes(), std::vector<std::string>{"The read offset of this drive is not known yet, so the tracks are "
                                                      "read as the drive delivers them; it is found by itself the first "
                                                      "time a disc that AccurateRip knows is ripped."});
}

}  // namespace
}  // namespace tesslow
