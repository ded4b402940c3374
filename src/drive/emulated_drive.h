#pragma once

#include "drive/disc_image.h"
#include "drive/q_frame.h"
#include "drive/scsi_transport.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

namespace tesslow {

// An MMC drive in software, playing the disc image of a CUE sheet. It answers
// the eight commands the program sends with the byte layouts of the MMC
// standard: INQUIRY (device type 5), GET CONFIGURATION (header with the
// current profile, and the profile list), READ DISC INFORMATION, READ TOC
// formats 0 (tracks, LBA addresses, AAh lead-out), 1 (sessions) and 5
// (CD-Text, from the sheet's TITLE, PERFORMER and SONGWRITER lines), READ CD
// (expected sector type 0, byte 9 = F8h: raw 2352-byte sectors), SET CD SPEED,
// START STOP UNIT and PREVENT ALLOW MEDIUM REMOVAL. Any other opcode answers
// ILLEGAL REQUEST 05/20/00, any unsupported field 05/24/00, like a real drive.
//
// The sheet's "REM TESSLOW" conditions shape the drive and the disc (see
// docs/emulated-drive.md). A missing sheet is an empty drive; a sheet that
// cannot be loaded is a disc the drive cannot read (02/30/01). The sheet is
// looked at before every command, so writing a new one (a new file, or a
// rename over the old one) is inserting another disc.
//
// Commands are serialised; the drive may be shared between threads. Delays,
// the speed limit and single speed are real waits.
class EmulatedDrive final : public ScsiTransport {
public:
    explicit EmulatedDrive(std::filesystem::path cuePath);

    bool Send(const CommandBlock& block, std::span<std::uint8_t, kSenseLength> sense) override;
    void Close() override;
    bool IsOpen() const override;

    // What tests may look at.
    struct Counters {
        std::uint64_t commands = 0;
        std::uint64_t readCdCommands = 0;
        std::uint64_t sectorsRead = 0;
        std::uint64_t jitteredReads = 0;
    };
    Counters Statistics() const;
    // Sectors per second the drive reads at now (0 = as fast as asked):
    // the lower of the SPEED limit and the last SET CD SPEED.
    std::uint32_t ReadSpeed() const;
    // Why the current sheet cannot be played ("" when it can, or is missing).
    std::string ImageProblem() const;
    bool TrayOpen() const;

private:
    std::int32_t Answer(const CommandBlock& block);
    std::int32_t NotReadyStatus() const;
    std::int32_t Inquiry(const CommandBlock& block);
    std::int32_t GetConfiguration(const CommandBlock& block);
    std::int32_t ReadDiscInformation(const CommandBlock& block);
    std::int32_t ReadToc(const CommandBlock& block);
    std::int32_t ReadCd(const CommandBlock& block);
    std::int32_t ReadSubChannel(const CommandBlock& block);
    QFrame DeliveredQ(std::int32_t lba);
    std::int32_t SetCdSpeed(const CommandBlock& block);
    std::int32_t StartStopUnit(const CommandBlock& block);
    void Refresh();
    std::uint32_t ReadSpeedLocked() const;
    void AlterFlakySamples(std::int32_t lba, std::uint8_t* buffer, std::size_t sectors);

    const std::filesystem::path cuePath_;
    mutable std::mutex mutex_;
    bool open_ = true;
    std::string signature_ = "?";  // of the sheet last looked at
    std::shared_ptr<const DiscImage> image_;
    std::string problem_;
    DriveConditions conditions_;
    bool trayOpen_ = false;
    bool removalPrevented_ = false;
    int busyAnswersLeft_ = 0;
    std::uint32_t setSpeed_ = 0;  // sectors per second from SET CD SPEED, 0 = maximum
    std::chrono::steady_clock::time_point readyAt_{};
    std::mt19937_64 random_;
    std::mt19937_64 flakyRandom_;       // apart from JITTER's, so each repeats on its own
    std::mt19937_64 qRandom_;           // behind QCRC
    std::vector<std::uint32_t> flakyReads_;  // per FLAKY range: the altered reads so far
    Counters counters_;
};

}  // namespace tesslow
