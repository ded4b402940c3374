#include "drive/eject.h"
#include "drive/emulated_drive.h"
#include "drive/scsi_command.h"
#include "drive/scsi_status.h"
#include "drive/sg_io_transport.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"

#include <fcntl.h>
#include <scsi/sg.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

namespace tesslow {
namespace {

using test::TempDir;

std::vector<std::uint8_t> FixedSense(int key, int asc, int ascq, std::uint8_t code = 0x70)
{
    std::vector<std::uint8_t> sense(18, 0);
    sense[0] = code;
    sense[2] = static_cast<std::uint8_t>(key);
    sense[7] = 10;
    sense[12] = static_cast<std::uint8_t>(asc);
    sense[13] = static_cast<std::uint8_t>(ascq);
    return sense;
}

TEST(PackSense, PacksKeyAscAndAscqAndNeverTurnsAReportedFailureIntoSuccess)
{
    EXPECT_EQ(PackSense(std::vector<std::uint8_t>(18, 0)), 0);
    EXPECT_EQ(PackSense(FixedSense(0x05, 0x24, 0x00)), 0x052400);
    EXPECT_EQ(PackSense(FixedSense(0x02, 0x04, 0x07)), kSenseBecomingReady);
    EXPECT_EQ(PackSense(FixedSense(0x03, 0x11, 0x00, 0x71)), 0x031100);      // deferred error
    EXPECT_EQ(PackSense(FixedSense(0x00, 0x00, 0x00)), kScsiCallFailed);     // sense data saying nothing
    EXPECT_EQ(PackSense(FixedSense(0xF5, 0x20, 0x00)), kSenseInvalidOpcode);  // flag bits above the key ignored

    std::vector<std::uint8_t> descriptor(18, 0);
    descriptor[0] = 0x72;
    descriptor[1] = 0x02;
    descriptor[2] = 0x3A;
    descriptor[3] = 0x00;
    EXPECT_EQ(PackSense(descriptor), kSenseNoMedium);
}

// The SG_IO path with the kernel replaced: records each header and answers as
// the test says.
struct FakeKernel {
    struct Seen {
        std::vector<std::uint8_t> cdb;
        int direction = 0;
        unsigned length = 0;
        unsigned timeout = 0;
        unsigned senseRoom = 0;
        bool hasBuffer = false;
    };
    std::vector<Seen> seen;
    int result = 0;
    int failErrno = 0;
    unsigned info = SG_INFO_OK;
    unsigned short hostStatus = 0;
    std::vector<std::uint8_t> sense;

    SgIoTransport::SgIoCall Call()
    {
        return [this](int, sg_io_hdr& header) {
            seen.push_back({std::vector<std::uint8_t>(header.cmdp, header.cmdp + header.cmd_len),
                            header.dxfer_direction, header.dxfer_len, header.timeout, header.mx_sb_len,
                            header.dxferp != nullptr});
            EXPECT_EQ(header.interface_id, 'S');
            if (result < 0) {
                errno = failErrno;
                return result;
            }
            header.info = info;
            header.host_status = hostStatus;
            header.sb_len_wr = static_cast<unsigned char>(std::min<std::size_t>(sense.size(), header.mx_sb_len));
            std::copy_n(sense.begin(), header.sb_len_wr, header.sbp);
            return 0;
        };
    }
};

std::shared_ptr<SgIoTransport> FakeDevice(FakeKernel& kernel)
{
    return std::make_shared<SgIoTransport>(UniqueFd(::open("/dev/null", O_RDONLY | O_CLOEXEC)), kernel.Call());
}

TEST(SgIo, EveryCommandOfTheTableGoesOutWithItsBytesDirectionLengthAndTimeOut)
{
    FakeKernel kernel;
    ScsiCommand drive;
    drive.Adopt(FakeDevice(kernel), "/dev/sr0");
    std::vector<std::uint8_t> buffer(26 * 2352);

    EXPECT_EQ(drive.Inquiry(std::span(buffer.data(), 36)), 0);
    EXPECT_EQ(drive.GetConfiguration(std::span(buffer.data(), 8)), 0);
    EXPECT_EQ(drive.ReadDiscInformation(std::span(buffer.data(), 32)), 0);
    EXPECT_EQ(drive.ReadToc(0, 1, std::span(buffer.data(), 12)), 0);
    EXPECT_EQ(drive.ReadToc(0, 2, std::span(buffer.data(), 804)), 0);
    EXPECT_EQ(drive.ReadCd(0x012345, 26, buffer.data()), 0);
    EXPECT_EQ(drive.SetCdSpeed(0xB0, 0xB0), 0);
    EXPECT_EQ(drive.StartStopUnit(true, false), 0);
    EXPECT_EQ(drive.StartStopUnit(false, true), 0);
    EXPECT_EQ(drive.AllowMediumRemoval(), 0);

    using Bytes = std::vector<std::uint8_t>;
    const std::vector<FakeKernel::Seen> expected = {
        {Bytes{0x12, 0, 0, 0, 36, 0}, SG_DXFER_FROM_DEV, 36, 30000, 18, true},
        {Bytes{0x46, 1, 0, 0, 0, 0, 0, 0, 8, 0}, SG_DXFER_FROM_DEV, 8, 30000, 18, true},
        {Bytes{0x51, 0, 0, 0, 0, 0, 0, 0, 32, 0}, SG_DXFER_FROM_DEV, 32, 30000, 18, true},
        {Bytes{0x43, 0, 0, 0, 0, 0, 1, 0, 12, 0}, SG_DXFER_FROM_DEV, 12, 120000, 18, true},
        {Bytes{0x43, 0, 0, 0, 0, 0, 2, 0x03, 0x24, 0}, SG_DXFER_FROM_DEV, 804, 120000, 18, true},
        {Bytes{0xBE, 0, 0, 0x01, 0x23, 0x45, 0, 0, 26, 0xF8, 0, 0}, SG_DXFER_FROM_DEV, 26 * 2352, 30000, 18, true},
        {Bytes{0xBB, 0, 0x00, 0xB0, 0x00, 0xB0, 0, 0, 0, 0, 0, 0}, SG_DXFER_NONE, 0, 30000, 18, false},
        {Bytes{0x1B, 1, 0, 0, 0, 0}, SG_DXFER_NONE, 0, 30000, 18, false},
        {Bytes{0x1B, 0, 0, 0, 2, 0}, SG_DXFER_NONE, 0, 30000, 18, false},
        {Bytes{0x1E, 0, 0, 0, 0, 0}, SG_DXFER_NONE, 0, 30000, 18, false},
    };
    ASSERT_EQ(kernel.seen.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(kernel.seen[i].cdb, expected[i].cdb);
        EXPECT_EQ(kernel.seen[i].direction, expected[i].direction);
        EXPECT_EQ(kernel.seen[i].length, expected[i].length);
        EXPECT_EQ(kernel.seen[i].timeout, expected[i].timeout);
        EXPECT_EQ(kernel.seen[i].senseRoom, expected[i].senseRoom);
        EXPECT_EQ(kernel.seen[i].hasBuffer, expected[i].hasBuffer);
    }
}

TEST(SgIo, OutcomesMapToStatusValuesAndAFailureNeverReadsAsSuccess)
{
    FakeKernel kernel;
    ScsiCommand drive;
    drive.Adopt(FakeDevice(kernel), "/dev/sr0");
    std::uint8_t answer[36];

    EXPECT_EQ(drive.Inquiry(answer), 0);

    kernel.info = SG_INFO_CHECK;
    kernel.sense = FixedSense(0x05, 0x20, 0x00);
    EXPECT_EQ(drive.Inquiry(answer), kSenseInvalidOpcode);

    kernel.sense = FixedSense(0, 0, 0);
    EXPECT_EQ(drive.Inquiry(answer), kScsiCallFailed);  // sense data with key, ASC and ASCQ all 0

    kernel.sense.clear();
    kernel.hostStatus = 0x03;  // DID_TIME_OUT, nothing from the device
    EXPECT_EQ(drive.Inquiry(answer), kScsiCallFailed);
    kernel.hostStatus = 0;
    EXPECT_EQ(drive.Inquiry(answer), kScsiCallFailed);  // CHECK CONDITION without sense

    kernel.result = -1;
    kernel.failErrno = ENODEV;
    errno = 0;
    EXPECT_EQ(drive.Inquiry(answer), kScsiCallFailed);
    EXPECT_EQ(errno, ENODEV);  // left for the caller's message

    kernel.result = 0;
    kernel.info = SG_INFO_OK;
    kernel.sense = FixedSense(0x05, 0x24, 0x00);  // stale bytes with a good status mean nothing
    EXPECT_EQ(drive.Inquiry(answer), 0);
}

TEST(ScsiCommand, ABorrowerNeverClosesTheHandleAndFailsOnceTheOwnerHasClosedIt)
{
    FakeKernel kernel;
    ScsiCommand owner;
    owner.Adopt(FakeDevice(kernel), "/dev/sr0");
    EXPECT_EQ(owner.Ownership(), 1);
    {
        ScsiCommand borrower;
        borrower.Borrow(owner);
        EXPECT_EQ(borrower.Ownership(), 0);
        EXPECT_EQ(borrower.DriveKey(), "/dev/sr0");
        std::uint8_t answer[36];
        EXPECT_EQ(borrower.Inquiry(answer), 0);
        borrower.Close();
        borrower.Close();  // twice is harmless
        EXPECT_FALSE(borrower.IsOpen());
    }  // destroying a borrower leaves the handle too
    EXPECT_TRUE(owner.IsOpen());
    std::uint8_t answer[36];
    EXPECT_EQ(owner.Inquiry(answer), 0);

    ScsiCommand borrower;
    borrower.Borrow(owner);
    owner.Close();
    owner.Close();
    EXPECT_FALSE(owner.IsOpen());
    errno = 0;
    EXPECT_EQ(borrower.Inquiry(answer), kScsiCallFailed);
    EXPECT_EQ(errno, EBADF);
    EXPECT_EQ(kernel.seen.size(), 2u);  // nothing reached the device after the close
}

TEST(ScsiCommand, APathThatIsNotAnOpticalDriveFailsToOpen)
{
    TempDir dir;
    test::WriteFile(dir / "plain.iso", "not a drive");
    ScsiCommand drive;
    errno = 0;
    EXPECT_FALSE(drive.Open((dir / "plain.iso").string()));
    EXPECT_EQ(errno, ENODEV);
    EXPECT_FALSE(drive.Open("/dev/null"));
    EXPECT_EQ(errno, ENODEV);
    EXPECT_FALSE(drive.Open((dir / "missing").string()));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(drive.IsOpen());
    EXPECT_EQ(drive.DriveKey(), "");
}

TEST(Eject, IsRetriedWhileTheDriveIsBusyAndOpensTheTray)
{
    TempDir dir;
    const auto disc = test::WriteTestDisc(dir.Path(), {.tracks = {{150}}, .conditions = {"EJECT-BUSY 2"}, .sparse = true});
    ScsiCommand drive;
    ASSERT_TRUE(drive.Open(disc.cue.string()));
    auto emulated = std::dynamic_pointer_cast<EmulatedDrive>(drive.Transport());
    ASSERT_TRUE(emulated);
    std::uint8_t answer[12];
    ASSERT_EQ(drive.ReadToc(0, 1, answer), 0);
    const auto before = emulated->Statistics().commands;

    Eject(drive);

    // stop (busy, busy, done), allow removal, eject, eject waiting
    EXPECT_EQ(emulated->Statistics().commands - before, 6u);
    EXPECT_TRUE(emulated->TrayOpen());
    EXPECT_EQ(drive.ReadToc(0, 1, answer), kSenseTrayOpen);
}

}  // namespace
}  // namespace tesslow
