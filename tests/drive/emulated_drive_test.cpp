#include "drive/emulated_drive.h"
#include "drive/mmc.h"
#include "drive/scsi_command.h"
#include "drive/scsi_status.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace tesslow {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::TempDir;
using test::TestDisc;
using test::TestTrack;

struct OpenDrive {
    ScsiCommand drive;
    std::shared_ptr<EmulatedDrive> emulated;

    explicit OpenDrive(const std::filesystem::path& cue)
    {
        EXPECT_TRUE(drive.Open(cue.string()));
        emulated = std::dynamic_pointer_cast<EmulatedDrive>(drive.Transport());
        EXPECT_TRUE(emulated);
    }

    Bytes Toc(std::uint8_t format = 0, std::uint8_t start = 1, std::int32_t* status = nullptr)
    {
        Bytes answer(1024, 0xEE);
        const std::int32_t result = drive.ReadToc(format, start, answer);
        if (status) *status = result;
        EXPECT_TRUE(status || result == 0) << std::hex << result;
        answer.resize(ReadBigEndian16(answer.data()) + 2);
        return answer;
    }

    std::string Read(std::int32_t lba, std::uint8_t count, std::int32_t* status = nullptr)
    {
        std::string bytes(count * kSectorBytes, '\0');
        const std::int32_t result = drive.ReadCd(lba, count, bytes.data());
        if (status) *status = result;
        EXPECT_TRUE(status || result == 0) << std::hex << result;
        return bytes;
    }

    std::int32_t Send(Bytes cdb, std::size_t answerLength = 0, Bytes* answer = nullptr)
    {
        Bytes local(answerLength);
        Bytes& target = answer ? *answer : local;
        target.assign(answerLength, 0);
        return drive.Execute(cdb, DataDirection::In, target.data(), static_cast<std::uint32_t>(answerLength));
    }
};

struct Descriptor {
    int control;
    int number;
    std::int32_t start;
    bool operator==(const Descriptor&) const = default;
};

std::vector<Descriptor> Descriptors(const Bytes& toc)
{
    std::vector<Descriptor> list;
    for (std::size_t i = 4; i + 8 <= toc.size(); i += 8)
        list.push_back({toc[i + 1], toc[i + 2], static_cast<std::int32_t>(ReadBigEndian32(&toc[i + 4]))});
    return list;
}

TEST(EmulatedDrive, AnswersTheProbeCommandsWithTheMmcLayouts)
{
    TempDir dir;
    const auto disc = test::WriteTestDisc(dir.Path(), {.tracks = {{300}, {.sectors = 450, .indexZero = 150}, {225}}, .sparse = true});
    OpenDrive d(disc.cue);

    Bytes inquiry;
    ASSERT_EQ(d.Send({0x12, 0, 0, 0, 36, 0}, 36, &inquiry), 0);
    EXPECT_EQ(inquiry[0] & 0x1F, 5);
    EXPECT_EQ(inquiry[4], 31);
    EXPECT_EQ(std::string(inquiry.begin() + 8, inquiry.begin() + 16), "TESSLOW ");

    Bytes configuration;
    ASSERT_EQ(d.Send({0x46, 1, 0, 0, 0, 0, 0, 0, 8, 0}, 8, &configuration), 0);
    EXPECT_EQ(ReadBigEndian16(&configuration[6]), 0x0008);
    EXPECT_GT(ReadBigEndian32(&configuration[0]), 4u);  // the profile list follows the header

    Bytes information;
    ASSERT_EQ(d.Send({0x51, 0, 0, 0, 0, 0, 0, 0, 32, 0}, 32, &information), 0);
    EXPECT_EQ(ReadBigEndian16(&information[0]), 32u);
    EXPECT_EQ(information[2], 0x0E);  // complete disc, complete last session, not erasable
    EXPECT_EQ(information[3], 1);     // first track
    EXPECT_EQ(information[4], 1);     // sessions
    EXPECT_EQ(Bytes(information.begin() + 21, information.begin() + 24), Bytes(3, 0xFF));

    const Bytes head = d.Toc(0, 1);
    EXPECT_EQ(head.size(), 4u + 4 * 8);
    EXPECT_EQ(head[2], 1);
    EXPECT_EQ(head[3], 3);
    EXPECT_EQ(Descriptors(head),
              (std::vector<Descriptor>{{0x10, 1, 0}, {0x10, 2, 450}, {0x10, 3, 750}, {0x10, 0xAA, 975}}));
    // Twelve bytes hold the header and the first descriptor; the length field
    // still tells the whole size.
    Bytes twelve(12);
    ASSERT_EQ(d.drive.ReadToc(0, 1, twelve), 0);
    EXPECT_EQ(ReadBigEndian16(twelve.data()) + 2u, 36u);
    EXPECT_EQ(twelve[6], 1);
    EXPECT_EQ(Descriptors(d.Toc(0, 3)), (std::vector<Descriptor>{{0x10, 3, 750}, {0x10, 0xAA, 975}}));

    const Bytes sessions = d.Toc(1, 0);
    EXPECT_EQ(sessions.size(), 12u);
    EXPECT_EQ(sessions[2], 1);
    EXPECT_EQ(sessions[3], 1);
    EXPECT_EQ(sessions[6], 1);
}

TEST(EmulatedDrive, ReadCdReturnsTheImageAndRefusesWhatARealDriveRefuses)
{
    TempDir dir;
    const auto disc = test::WriteTestDisc(dir.Path(), {.tracks = {{100}, {100}}});
    OpenDrive d(disc.cue);
    EXPECT_EQ(d.Read(0, 26), test::DiscBytes(disc, 0, 26));
    EXPECT_EQ(d.Read(174, 26), test::DiscBytes(disc, 174, 26));

    std::int32_t status = 0;
    d.Read(190, 26, &status);
    EXPECT_EQ(status, kSenseLbaOutOfRange);  // past the lead-out
    d.Read(-1, 1, &status);
    EXPECT_EQ(status, kSenseLbaOutOfRange);

    Bytes sector(2352);
    EXPECT_EQ(d.Send({0xBE, 0, 0, 0, 0, 0, 0, 0, 1, 0x10, 0, 0}, 2352), kSenseInvalidField);  // user data only
    EXPECT_EQ(d.Send({0xBE, 0x04, 0, 0, 0, 0, 0, 0, 1, 0xF8, 0, 0}, 2352), kSenseInvalidField);  // CD-DA type
    EXPECT_EQ(d.Send({0xBE, 0, 0, 0, 0, 0, 0, 0, 1, 0xF8, 1, 0}, 2352), kSenseInvalidField);  // sub-channel
    EXPECT_EQ(d.Send({0x00, 0, 0, 0, 0, 0}), kSenseInvalidOpcode);                             // TEST UNIT READY
    EXPECT_EQ(d.Send({0x28, 0, 0, 0, 0, 0, 0, 0, 1, 0}, 2048), kSenseInvalidOpcode);          // READ(10)
    EXPECT_EQ(d.Send({0x43, 0x02, 0, 0, 0, 0, 1, 0, 12, 0}, 12), kSenseInvalidField);         // MSF addresses
    EXPECT_EQ(d.Send({0x43, 0, 2, 0, 0, 0, 1, 0, 12, 0}, 12), kSenseInvalidField);            // full TOC
    EXPECT_EQ(d.Send({0x43, 0, 0, 0, 0, 0, 3, 0, 12, 0}, 12), kSenseInvalidField);            // no track 3
    EXPECT_EQ(d.Send({0x12, 1, 0, 0, 36, 0}, 36), kSenseInvalidField);                        // VPD page
}

TEST(EmulatedDrive, WithoutAnImageItIsAnEmptyDriveAndABrokenSheetIsAnUnreadableDisc)
{
    TempDir dir;
    OpenDrive empty(dir / "nothing.cue");
    Bytes configuration;
    EXPECT_EQ(empty.Send({0x12, 0, 0, 0, 36, 0}, 36), 0);
    EXPECT_EQ(empty.Send({0x46, 1, 0, 0, 0, 0, 0, 0, 8, 0}, 8, &configuration), 0);
    EXPECT_EQ(ReadBigEndian16(&configuration[6]), 0x0000);
    EXPECT_EQ(empty.Send({0x51, 0, 0, 0, 0, 0, 0, 0, 32, 0}, 32), kSenseNoMedium);
    std::int32_t status = 0;
    empty.Toc(0, 1, &status);
    EXPECT_EQ(status, kSenseNoMedium);

    // Inserting a disc: the sheet appears.
    const auto disc = test::WriteTestDisc(dir.Path(), {.tracks = {{75}}, .sparse = true}, "nothing");
    EXPECT_EQ(Descriptors(empty.Toc()), (std::vector<Descriptor>{{0x10, 1, 0}, {0x10, 0xAA, 75}}));

    test::WriteCueSheet(dir / "broken.cue", "FILE \"nothing.bin\" BINARY\n  TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                                            "  TRACK 02 VIDEO\n");
    OpenDrive broken(dir / "broken.cue");
    broken.Toc(0, 1, &status);
    EXPECT_EQ(status, kSenseUnknownFormat);
    EXPECT_EQ(broken.emulated->ImageProblem(), "broken.cue, line 4: unsupported track mode VIDEO");
}

TEST(EmulatedDrive, ConditionsShapeTheDriveAndTheDisc)
{
    TempDir dir;
    auto answer = [&](const std::string& condition, Bytes cdb, std::size_t length, Bytes* out = nullptr) {
        const auto disc = test::WriteTestDisc(dir.Path(), {.tracks = {{150}}, .conditions = {condition}, .sparse = true});
        OpenDrive d(disc.cue);
        return d.Send(cdb, length, out);
    };
    const Bytes getConfiguration = {0x46, 1, 0, 0, 0, 0, 0, 0, 8, 0};
    const Bytes discInformation = {0x51, 0, 0, 0, 0, 0, 0, 0, 32, 0};
    const Bytes readToc = {0x43, 0, 0, 0, 0, 0, 1, 0, 12, 0};
    Bytes out;

    EXPECT_EQ(answer("NO-DISC", readToc, 12), kSenseNoMedium);
    EXPECT_EQ(answer("NO-DISC", {0x12, 0, 0, 0, 36, 0}, 36), 0);
    EXPECT_EQ(answer("TRAY-OPEN", discInformation, 32), kSenseTrayOpen);
    EXPECT_EQ(answer("NO-GET-CONFIGURATION", getConfiguration, 8), kSenseInvalidOpcode);

    ASSERT_EQ(answer("PROFILE DVD", getConfiguration, 8, &out), 0);
    EXPECT_EQ(ReadBigEndian16(&out[6]), 0x0010);
    ASSERT_EQ(answer("ERASABLE", getConfiguration, 8, &out), 0);
    EXPECT_EQ(ReadBigEndian16(&out[6]), 0x000A);
    ASSERT_EQ(answer("ERASABLE", discInformation, 32, &out), 0);
    EXPECT_EQ(out[2] & 0x10, 0x10);
    EXPECT_NE(out[21], 0xFF);

    ASSERT_EQ(answer("BLANK", discInformation, 32, &out), 0);
    EXPECT_EQ(out[2] & 0x03, 0);
    EXPECT_EQ(answer("BLANK", readToc, 12), kSenseInvalidField);
    ASSERT_EQ(answer("INCOMPLETE", discInformation, 32, &out), 0);
    EXPECT_EQ(out[2] & 0x03, 1);

    test::WriteCueSheet(dir / "typo.cue", "REM TESSLOW JITTERBUG 3\nFILE \"disc.bin\" BINARY\n TRACK 01 AUDIO\n"
                                          " INDEX 01 00:00:00\n");
    OpenDrive typo(dir / "typo.cue");
    EXPECT_EQ(typo.Send(readToc, 12), kSenseUnknownFormat);
    EXPECT_EQ(typo.emulated->ImageProblem(), "typo.cue, line 1: unknown condition JITTERBUG");
}

TEST(EmulatedDrive, ASheetThatCannotBeTrustedIsRefusedAtOnceSayingWhy)
{
    TempDir dir;
    test::WriteAudioFile(dir / "disc.bin", 150, true);
    ASSERT_EQ(::mkfifo((dir / "pipe.bin").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir / "pipe.cue").c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "folder.bin");
    const std::string track = "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
    struct Case {
        std::string sheet;  // written as "sheet.cue"; empty: the named pipe "pipe.cue" is the sheet
        std::string problem;
    };
    const Case cases[] = {
        {"", "pipe.cue: the CUE sheet is not a file"},
        {"FILE \"pipe.bin\" BINARY\n" + track, "sheet.cue, line 1: \"pipe.bin\" is not a file"},
        {"FILE \"folder.bin\" BINARY\n" + track, "sheet.cue, line 1: \"folder.bin\" is not a file"},
        {"REM TESSLOW UNREADABLE 9223372036854775807:00:00\nFILE \"disc.bin\" BINARY\n" + track,
         "sheet.cue, line 1: not a sector address: 9223372036854775807:00:00"},
        {"REM TESSLOW UNREADABLE 1 4294967296\nFILE \"disc.bin\" BINARY\n" + track,
         "sheet.cue, line 1: not a sector address: 4294967296"},
        {"REM TESSLOW UNREADABLE 99999999999999999999\nFILE \"disc.bin\" BINARY\n" + track,
         "sheet.cue, line 1: not a number: 99999999999999999999"},
        {"FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 1000:00:00\n",
         "sheet.cue, line 3: INDEX needs a time mm:ss:ff"},
        {"FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    PREGAP 00:99:00\n    INDEX 01 00:00:00\n",
         "sheet.cue, line 3: PREGAP needs a time mm:ss:ff"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.problem);
        if (!c.sheet.empty()) test::WriteCueSheet(dir / "sheet.cue", c.sheet);
        OpenDrive d(dir / (c.sheet.empty() ? "pipe.cue" : "sheet.cue"));
        std::int32_t status = 0;
        d.Toc(0, 1, &status);  // a pipe opened for reading would wait here for ever
        EXPECT_EQ(status, kSenseUnknownFormat);
        EXPECT_EQ(d.emulated->ImageProblem(), c.problem);
    }
}

TEST(EmulatedDrive, SectorsBeyondTheEndOfAShrunkenFileAreUnreadableButHolesReadAsSilence)
{
    TempDir dir;
    const auto disc = test::WriteTestDisc(dir.Path(), {.tracks = {{300}}});
    OpenDrive d(disc.cue);
    ASSERT_EQ(d.Read(200, 26), test::DiscBytes(disc, 200, 26));
    // The image loses its second half and gets a hole in the first.
    std::filesystem::resize_file(disc.bin, 150 * kSectorBytes);
    {
        const int fd = ::open(disc.bin.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::fallocate(fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, 10 * kSectorBytes, 10 * kSectorBytes), 0);
        ::close(fd);
    }
    std::int32_t status = 0;
    d.Read(140, 26, &status);
    EXPECT_EQ(status, kSenseUnrecoveredRead);
    d.Read(299, 1, &status);
    EXPECT_EQ(status, kSenseUnrecoveredRead);
    EXPECT_EQ(d.Read(124, 26), test::DiscBytes(disc, 124, 26));
    EXPECT_EQ(d.Read(10, 10), std::string(10 * kSectorBytes, '\0'));
}

TEST(EmulatedDrive, UnreadableSectorsFailOnlyTheReadsThatTouchThem)
{
    TempDir dir;
    const auto disc = test::WriteTestDisc(dir.Path(), {.tracks = {{300}}, .conditions = {"UNREADABLE 100 101", "UNREADABLE 00:03:00"}});
    OpenDrive d(disc.cue);
    std::int32_t status = 0;
    d.Read(74, 26, &status);
    EXPECT_EQ(status, 0);
    d.Read(75, 26, &status);
    EXPECT_EQ(status, kSenseUnrecoveredRead);
    d.Read(101, 1, &status);
    EXPECT_EQ(status, kSenseUnrecoveredRead);
    EXPECT_EQ(d.Read(102, 26), test::DiscBytes(disc, 102, 26));
    d.Read(225, 1, &status);
    EXPECT_EQ(status, kSenseUnrecoveredRead);
}

TEST(EmulatedDrive, JitteredReadsAreShiftedUnlessTheyStartOnACacheBoundaryAndRepeatWithTheSeed)
{
    TempDir dir;
    const auto disc = test::WriteTestDisc(dir.Path(), {.tracks = {{600}}, .conditions = {"JITTER 7 75", "SEED 42"}});
    auto readAll = [&] {
        OpenDrive d(disc.cue);
        std::vector<std::string> reads;
        for (std::int32_t lba : {150, 151, 200, 300, 333, 401}) reads.push_back(d.Read(lba, 10));
        return reads;
    };
    const auto reads = readAll();
    EXPECT_EQ(reads[0], test::DiscBytes(disc, 150, 10));
    EXPECT_EQ(reads[3], test::DiscBytes(disc, 300, 10));
    const std::string wide = test::DiscBytes(disc, 150, 300);
    int early = 0, late = 0;
    for (std::size_t i : {1u, 2u, 4u, 5u}) {
        const std::int32_t lba = std::array{150, 151, 200, 300, 333, 401}[i];
        const std::size_t at = (lba - 150) * kSectorBytes;
        if (reads[i] == wide.substr(at - 28, 10 * kSectorBytes)) ++early;
        else if (reads[i] == wide.substr(at + 28, 10 * kSectorBytes)) ++late;
    }
    EXPECT_EQ(early + late, 4);  // each off-boundary read moved by exactly 7 samples
    EXPECT_EQ(readAll(), reads);  // the same seed, the same shifts
}

TEST(EmulatedDrive, ReadSpeedFollowsSetCdSpeedButNeverExceedsTheLimit)
{
    TempDir dir;
    const auto fast = test::WriteTestDisc(dir.Path(), {.tracks = {{150}}, .sparse = true}, "fast");
    OpenDrive unlimited(fast.cue);
    EXPECT_EQ(unlimited.emulated->ReadSpeed(), 0u);
    EXPECT_EQ(unlimited.drive.SetCdSpeed(mmc::kSingleSpeedKBps, mmc::kSingleSpeedKBps), 0);
    EXPECT_EQ(unlimited.emulated->ReadSpeed(), 75u);
    EXPECT_EQ(unlimited.drive.SetCdSpeed(0xFFFF, 0xFFFF), 0);
    EXPECT_EQ(unlimited.emulated->ReadSpeed(), 0u);

    const auto slow = test::WriteTestDisc(dir.Path(), {.tracks = {{150}}, .conditions = {"SPEED 300", "DELAY 1"}, .sparse = true}, "slow");
    OpenDrive limited(slow.cue);
    EXPECT_EQ(limited.emulated->ReadSpeed(), 0u);  // the sheet is read with the first command
    limited.Read(0, 1);
    EXPECT_EQ(limited.emulated->ReadSpeed(), 300u);
    EXPECT_EQ(limited.drive.SetCdSpeed(1000, 1000), 0);  // 425 sectors a second asked for
    EXPECT_EQ(limited.emulated->ReadSpeed(), 300u);
    EXPECT_EQ(limited.drive.SetCdSpeed(mmc::kSingleSpeedKBps, 0), 0);
    EXPECT_EQ(limited.emulated->ReadSpeed(), 75u);
}

TEST(CueSheet, FilesPregapsIndexZeroAndWaveFilesLayOutTheDisc)
{
    TempDir dir;
    test::WriteAudioFile(dir / "one.bin", 300);
    test::WriteWaveFile(dir / "two.wav", 200, 2);
    test::WriteAudioFile(dir / "three.bin", 100, false, 3);
    test::WriteCueSheet(dir / "disc.cue",
                        "\xEF\xBB\xBFREM GENRE \"Art Rock\"\r\n"
                        "PERFORMER \"Someone\"\r\n"
                        "FILE \"one.bin\" BINARY\r\n"
                        "  TRACK 01 AUDIO\r\n"
                        "    TITLE \"First\"\r\n"
                        "    FLAGS DCP PRE\r\n"
                        "    INDEX 01 00:00:00\r\n"
                        "  TRACK 02 AUDIO\r\n"
                        "    INDEX 00 00:02:00\r\n"
                        "    INDEX 01 00:03:00\r\n"
                        "    POSTGAP 00:00:10\r\n"
                        "FILE \"two.wav\" WAVE\r\n"
                        "  TRACK 03 AUDIO\r\n"
                        "    PREGAP 00:00:20\r\n"
                        "    INDEX 01 00:00:00\r\n"
                        "FILE \"three.bin\" BINARY\r\n"
                        "  TRACK 04 AUDIO\r\n"
                        "    INDEX 01 00:00:00\r\n");
    OpenDrive d(dir / "disc.cue");
    // 300 + 10 postgap | 20 pregap + 200 | 100
    EXPECT_EQ(Descriptors(d.Toc()), (std::vector<Descriptor>{{0x13, 1, 0},
                                                             {0x10, 2, 225},
                                                             {0x10, 3, 330},
                                                             {0x10, 4, 530},
                                                             {0x10, 0xAA, 630}}));
    EXPECT_EQ(d.Read(299, 1), test::TestAudio(299, 1));
    EXPECT_EQ(d.Read(300, 30), std::string(30 * kSectorBytes, '\0'));  // postgap and pregap are silence
    EXPECT_EQ(d.Read(330, 26), test::TestAudio(0, 26, 2));          // WAVE data after its header
    EXPECT_EQ(d.Read(529, 2), test::TestAudio(199, 1, 2) + test::TestAudio(0, 1, 3));
}

TEST(CueSheet, AnIndexZeroInThePreviousFileBelongsToTheNextTrack)
{
    // Gaps appended to the previous track's file, one file per track.
    TempDir dir;
    test::WriteAudioFile(dir / "01.bin", 400);
    test::WriteAudioFile(dir / "02.bin", 300, false, 2);
    test::WriteCueSheet(dir / "disc.cue",
                        "FILE \"01.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                        "  TRACK 02 AUDIO\n    INDEX 00 00:04:25\n"
                        "FILE \"02.bin\" BINARY\n    INDEX 01 00:00:00\n");
    OpenDrive d(dir / "disc.cue");
    EXPECT_EQ(Descriptors(d.Toc()), (std::vector<Descriptor>{{0x10, 1, 0}, {0x10, 2, 400}, {0x10, 0xAA, 700}}));
}

TEST(CueSheet, ALaterSessionStartsAfterTheUnreadableGapAndDataSectorsGetTheirHeaders)
{
    TempDir dir;
    test::WriteAudioFile(dir / "audio.bin", 500);
    {
        std::string data(100 * 2048, '\0');
        for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
        test::WriteFile(dir / "data.iso", data);
    }
    test::WriteCueSheet(dir / "disc.cue",
                        "REM SESSION 01\nFILE \"audio.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                        "  TRACK 02 AUDIO\n    INDEX 01 00:04:00\n"
                        "REM SESSION 02\nFILE \"data.iso\" BINARY\n  TRACK 03 MODE1/2048\n    INDEX 01 00:00:00\n");
    OpenDrive d(dir / "disc.cue");
    EXPECT_EQ(Descriptors(d.Toc()), (std::vector<Descriptor>{{0x10, 1, 0},
                                                             {0x10, 2, 300},
                                                             {0x14, 3, 500 + 11400},
                                                             {0x14, 0xAA, 500 + 11400 + 100}}));
    const Bytes sessions = d.Toc(1, 0);
    EXPECT_EQ(sessions[3], 2);  // last session
    EXPECT_EQ(sessions[6], 3);  // its first track
    EXPECT_EQ(ReadBigEndian32(&sessions[8]), 11900u);

    std::int32_t status = 0;
    d.Read(499, 1, &status);
    EXPECT_EQ(status, 0);
    d.Read(500, 1, &status);
    EXPECT_EQ(status, kSenseLbaOutOfRange);  // inside the gap
    d.Read(11899, 2, &status);
    EXPECT_EQ(status, kSenseLbaOutOfRange);

    const std::string sector = d.Read(11901, 1);
    EXPECT_EQ(sector.substr(0, 12), std::string("\x00\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x00", 12));
    EXPECT_EQ(sector.substr(12, 4), std::string("\x02\x40\x51\x01", 4));  // 02:40:51 (LBA 11901 + 150), mode 1
    EXPECT_EQ(static_cast<unsigned char>(sector[16]), static_cast<unsigned char>(2048 * 7));

    Bytes information;
    ASSERT_EQ(d.Send({0x51, 0, 0, 0, 0, 0, 0, 0, 32, 0}, 32, &information), 0);
    EXPECT_EQ(information[4], 2);  // sessions
    EXPECT_EQ(information[5], 3);  // first track in the last session
    EXPECT_EQ(information[6], 3);
}

}  // namespace
}  // namespace tesslow
