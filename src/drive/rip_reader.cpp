#include "drive/rip_reader.h"

#include "app/raw_toc.h"
#include "drive/mmc.h"
#include "drive/scsi_command.h"
#include "drive/scsi_status.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <new>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wwrite-strings"
#pragma GCC diagnostic ignored "-Wunused-variable"
extern "C" {
#include <cdda_interface.h>
#include <cdda_paranoia.h>
}
#pragma GCC diagnostic pop

namespace tesslow {

namespace {

// The drive data is handed on exactly as read: little-endian samples.
static_assert(std::endian::native == std::endian::little, "samples are passed on in host order");

constexpr int kSectorsPerRead = 26;
constexpr std::int32_t kReadBeyondTrack = 150;
constexpr int kVerificationRounds = 5;
constexpr int kModeFullWithSkipping = PARANOIA_MODE_FULL & ~PARANOIA_MODE_NEVERSKIP;  // DFh

void IgnoreProgress(long, int) {}

int Nothing(cdrom_drive*, int) { return 0; }
int TocReady(cdrom_drive* d) { return d->tracks; }

}  // namespace

struct RipReader::Library {
    // The library hands the drive descriptor back to the read function; the
    // descriptor is the first member of this standard-layout wrapper, so the
    // reader is found from it.
    struct Descriptor {
        cdrom_drive drive;
        Library* owner;
    };

    Library(std::shared_ptr<ScsiCommand> command, bool correction, const std::atomic<bool>& stopFlag)
        : drive(std::move(command)), jitterCorrection(correction), stop(stopFlag)
    {
    }

    static long ReadAudio(cdrom_drive* d, void* buffer, long begin, long sectors)
    {
        return reinterpret_cast<Descriptor*>(d)->owner->Read(buffer, begin, sectors);
    }

    long GiveUp()
    {
        errno = ENOMEDIUM;  // the one error the library gives up on at once
        return -1;
    }

    long Read(void* buffer, long begin, long sectors)
    {
        if (stop.load()) return GiveUp();
        if (sectors <= 0) return sectors;
        // A null buffer only moves the drive's position (the library does this
        // to get past the drive's cache); the sectors are read and dropped.
        std::uint8_t* target = static_cast<std::uint8_t*>(buffer);
        if (!target) {
            scratch.resize(static_cast<std::size_t>(sectors) * kSectorBytes);
            target = scratch.data();
        }
        for (long done = 0; done < sectors;) {
            const auto count = static_cast<std::uint8_t>(std::min<long>(sectors - done, 255));
            const std::int32_t status =
                drive->ReadCd(static_cast<std::int32_t>(begin + done), count, target + done * kSectorBytes);
            if (status != kScsiOk) {
                if (stop.load()) return GiveUp();
                const bool driveLost =
                    status == kScsiCallFailed || (SenseKey(status) == 0x02 && AdditionalSense(status) == 0x3A);
                if (buffer && (driveLost || !jitterCorrection)) return GiveUp();
                errno = EIO;
                return -7;
            }
            done += count;
        }
        return sectors;
    }

    std::shared_ptr<ScsiCommand> drive;
    const bool jitterCorrection;
    const std::atomic<bool>& stop;
    std::vector<std::uint8_t> scratch;
    alignas(16) unsigned char privateData[256] = {};  // the library keeps read timings here
    Descriptor descriptor{};
    cdrom_paranoia* paranoia = nullptr;
};

RipReader::RipReader(std::shared_ptr<ScsiCommand> drive, std::int32_t firstSector, std::int32_t sectorCount,
                     std::int32_t readableEnd, bool jitterCorrection, const std::atomic<bool>& stop)
    : library_(std::make_unique<Library>(std::move(drive), jitterCorrection, stop))
{
    Library& l = *library_;
    cdrom_drive& d = l.descriptor.drive;
    l.descriptor.owner = &l;
    d.opened = 1;
    d.cdda_fd = d.ioctl_fd = -1;
    d.interface = GENERIC_SCSI;
    d.bigendianp = 0;
    d.nsectors = kSectorsPerRead;
    d.errordest = d.messagedest = CDDA_MESSAGE_FORGETIT;
    d.is_atapi = d.is_mmc = 1;
    d.enable_cdda = Nothing;
    d.read_toc = TocReady;
    d.set_speed = Nothing;
    d.read_audio = &Library::ReadAudio;
    d.private_data = reinterpret_cast<cdda_private_data_t*>(l.privateData);

    // The table of contents the library sees is one audio track: the track
    // and the few sectors after it that it may read for verification. A data
    // track covers everything before it, so that the library's idea of the
    // disc's first audio sector is the track's start; its reads and seeks
    // stay inside.
    const std::int32_t trackEnd = firstSector + sectorCount;
    const std::int32_t end = std::clamp(readableEnd, trackEnd, trackEnd + kReadBeyondTrack);
    int tracks = 0;
    if (firstSector > 0) {
        d.disc_toc[0] = TOC{kControlDataTrack, 1, 0};
        tracks = 1;
    }
    d.disc_toc[tracks] = TOC{0, static_cast<unsigned char>(tracks + 1), firstSector};
    d.disc_toc[tracks + 1] = TOC{0, kLeadOutTrack, end};
    d.tracks = tracks + 1;
    d.audio_first_sector = firstSector;
    d.audio_last_sector = end - 1;

    l.paranoia = paranoia_init(&d);
    if (!l.paranoia) throw std::bad_alloc();
    paranoia_modeset(l.paranoia, jitterCorrection ? kModeFullWithSkipping : PARANOIA_MODE_DISABLE);
    paranoia_seek(l.paranoia, firstSector, SEEK_SET);
}

RipReader::~RipReader()
{
    if (library_->paranoia) paranoia_free(library_->paranoia);
}

const std::uint8_t* RipReader::ReadSector()
{
    // The library calls its progress callback without checking it: pass one.
    const int16_t* sector = paranoia_read_limited(library_->paranoia, IgnoreProgress, kVerificationRounds);
    return reinterpret_cast<const std::uint8_t*>(sector);
}

}  // namespace tesslow
