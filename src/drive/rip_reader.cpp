#include "drive/rip_reader.h"

#include "app/raw_toc.h"
#include "drive/mmc.h"
#include "drive/scsi_command.h"
#include "drive/scsi_status.h"
#include "drive/tail_check.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <new>
#include <set>
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
// The library reports positions in 16-bit words.
constexpr long kWordsPerSector = kSectorBytes / 2;

// The end of a track with less than this after it before the readable end is
// checked by plain reads: the last kTailSectors of its last kTailWindow
// sectors, in at most kTailReads attempts.
constexpr std::int32_t kTailSectors = 2;
constexpr std::int32_t kTailWindow = 8;
constexpr int kTailReads = 8;

int Nothing(cdrom_drive*, int) { return 0; }
int TocReady(cdrom_drive* d) { return d->tracks; }

bool DriveLost(std::int32_t status)
{
    return status == kScsiCallFailed || (SenseKey(status) == 0x02 && AdditionalSense(status) == 0x3A);
}

}  // namespace

struct RipReader::Library {
    // The library hands the drive descriptor back to the read function; the
    // descriptor is the first member of this standard-layout wrapper, so the
    // reader is found from it.
    struct Descriptor {
        cdrom_drive drive;
        Library* owner;
    };

    Library(std::shared_ptr<ScsiCommand> command, std::int32_t first, std::int32_t count, bool correction,
            const std::atomic<bool>& stopFlag)
        : drive(std::move(command)),
          firstSector(first),
          trackEnd(first + count),
          jitterCorrection(correction),
          stop(stopFlag),
          readOk(static_cast<std::size_t>(std::max(count, 0)), false)
    {
    }

    static long ReadAudio(cdrom_drive* d, void* buffer, long begin, long sectors)
    {
        return reinterpret_cast<Descriptor*>(d)->owner->Read(buffer, begin, sectors);
    }

    // The library's progress callback has no context argument; the reader
    // whose ReadSector is running on this thread is the one it reports to.
    static thread_local Library* reporting;
    static void Notice(long position, int what)
    {
        if (!reporting) return;
        ExtractionReport& report = reporting->report;
        switch (what) {
        case PARANOIA_CB_SKIP:
            if (const long sector = position / kWordsPerSector; sector >= reporting->firstSector && sector < reporting->trackEnd)
                reporting->skipped.insert(sector);
            break;
        case PARANOIA_CB_FIXUP_EDGE:
        case PARANOIA_CB_FIXUP_ATOM:
        case PARANOIA_CB_FIXUP_DROPPED:
        case PARANOIA_CB_FIXUP_DUPED:
            ++report.fixups;
            break;
        default:
            break;
        }
    }

    long GiveUp()
    {
        errno = ENOMEDIUM;  // the one error the library gives up on at once
        return -1;
    }

    void MarkRead(long lba, long count)
    {
        for (long s = std::max<long>(lba, firstSector); s < std::min<long>(lba + count, trackEnd); ++s)
            readOk[static_cast<std::size_t>(s - firstSector)] = true;
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
            std::uint8_t* at = target + done * kSectorBytes;
            const std::int32_t status = drive->ReadCd(static_cast<std::int32_t>(begin + done), count, at);
            if (status == kScsiOk) {
                MarkRead(begin + done, count);
            } else {
                ++report.readErrors;
                if (stop.load() || DriveLost(status) || !jitterCorrection) return GiveUp();
                if (!ReadOneByOne(begin + done, count, at)) return GiveUp();
            }
            done += count;
        }
        return sectors;
    }

    // After a failed read: reads the sectors one by one, so that every sector
    // the drive can read is read, and hands the library silence for each one
    // it cannot. The library then sees the same silence in every read of an
    // unreadable sector and verifies the audio around it instead of skipping
    // over a stretch of it; the unreadable sectors are counted in the report.
    // False when the drive went away or the stop came.
    bool ReadOneByOne(long first, long count, std::uint8_t* target)
    {
        for (long i = 0; i < count; ++i) {
            if (stop.load()) return false;
            std::uint8_t* sector = target + i * kSectorBytes;
            const std::int32_t status = drive->ReadCd(static_cast<std::int32_t>(first + i), 1, sector);
            if (status == kScsiOk) {
                MarkRead(first + i, 1);
                continue;
            }
            if (DriveLost(status)) return false;
            if (count > 1) ++report.readErrors;
            std::memset(sector, 0, kSectorBytes);
        }
        return true;
    }

    // Keeps a copy of the track's last sectors for the tail check.
    void Delivered(const std::uint8_t* sector)
    {
        const std::int32_t index = delivered++;
        const std::int32_t windowFirst = (trackEnd - firstSector) - static_cast<std::int32_t>(tail.size() / kSectorBytes);
        if (index >= windowFirst)
            std::memcpy(tail.data() + static_cast<std::size_t>(index - windowFirst) * kSectorBytes, sector, kSectorBytes);
    }

    void CheckTail()
    {
        const auto windowSectors = static_cast<std::int32_t>(tail.size() / kSectorBytes);
        report.unverifiedTailSectors = UnconfirmedTailSectors(
            tail, trackEnd - windowSectors, kTailSectors, firstSector, kTailReads,
            [this](std::int32_t lba, std::int32_t count, std::uint8_t* out) {
                return !stop.load() && drive->ReadCd(lba, static_cast<std::uint8_t>(count), out) == kScsiOk;
            });
    }

    std::shared_ptr<ScsiCommand> drive;
    const std::int32_t firstSector;
    const std::int32_t trackEnd;
    const bool jitterCorrection;
    const std::atomic<bool>& stop;
    std::vector<std::uint8_t> scratch;
    std::vector<bool> readOk;        // per track sector: some read of it succeeded
    std::set<long> skipped;          // track sectors where the library skipped
    std::vector<std::uint8_t> tail;  // the last sectors delivered, when the tail is checked
    std::int32_t delivered = 0;
    ExtractionReport report;
    alignas(16) unsigned char privateData[256] = {};  // the library keeps read timings here
    Descriptor descriptor{};
    cdrom_paranoia* paranoia = nullptr;
};

thread_local RipReader::Library* RipReader::Library::reporting = nullptr;

RipReader::RipReader(std::shared_ptr<ScsiCommand> drive, std::int32_t firstSector, std::int32_t sectorCount,
                     std::int32_t readableEnd, bool jitterCorrection, const std::atomic<bool>& stop)
    : library_(std::make_unique<Library>(std::move(drive), firstSector, sectorCount, jitterCorrection, stop))
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
    // and, with correction, the few sectors after it that it may read for
    // verification (without, its read-ahead would fail the track over a
    // scratch in the next one). A data track covers everything before it, so
    // that the library's idea of the disc's first audio sector is the track's
    // start; its reads and seeks stay inside.
    const std::int32_t trackEnd = firstSector + sectorCount;
    const std::int32_t end =
        jitterCorrection ? std::clamp(readableEnd, trackEnd, trackEnd + kReadBeyondTrack) : trackEnd;
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

    // Without enough readable audio after the track to verify its end, the
    // last sectors get a check of their own.
    if (jitterCorrection && end - trackEnd < kTailSectors)
        l.tail.resize(static_cast<std::size_t>(std::min(sectorCount, kTailWindow)) * kSectorBytes);

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
    Library& l = *library_;
    // The library calls its progress callback without checking it: pass one.
    Library::reporting = &l;
    const auto* sector = reinterpret_cast<const std::uint8_t*>(
        paranoia_read_limited(l.paranoia, &Library::Notice, kVerificationRounds));
    Library::reporting = nullptr;
    if (!sector) return nullptr;
    l.Delivered(sector);
    if (l.delivered == l.trackEnd - l.firstSector && !l.tail.empty()) l.CheckTail();
    return sector;
}

ExtractionReport RipReader::Report() const
{
    const Library& l = *library_;
    ExtractionReport report = l.report;
    if (l.jitterCorrection) {
        report.unreadableSectors = static_cast<std::int32_t>(std::count(l.readOk.begin(), l.readOk.end(), false));
        report.skippedSectors = static_cast<std::int32_t>(l.skipped.size());
    }
    return report;
}

}  // namespace tesslow
