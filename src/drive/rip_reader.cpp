#include "drive/rip_reader.h"

#include "app/raw_toc.h"
#include "drive/mmc.h"
#include "drive/scsi_command.h"
#include "drive/scsi_status.h"
#include "drive/damage_check.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
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

    Library(std::shared_ptr<ScsiCommand> command, std::int32_t first, std::int32_t count, std::int32_t readable,
            bool correction, const ReadOffset& driveOffset, const std::atomic<bool>& stopFlag,
            std::atomic<std::int64_t>* readCounter)
        : drive(std::move(command)),
          firstSector(first),
          trackEnd(first + count),
          readableEnd(readable),
          jitterCorrection(correction),
          offset(driveOffset),
          stop(stopFlag),
          sectorsRead(readCounter)
    {
    }

    // One read of the disc's audio, corrected by the drive's offset; where it
    // gave silence outside the disc is noted for audio that is delivered.
    std::int32_t DriveRead(long lba, long count, std::uint8_t* out, bool delivered = true)
    {
        return ReadCorrected(*drive, offset, readableEnd, static_cast<std::int32_t>(lba), static_cast<std::int32_t>(count),
                             out, delivered ? &silence : nullptr);
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
        switch (what) {
        case PARANOIA_CB_SKIP:
            if (reporting->damage) reporting->damage->NoteSkip(static_cast<std::int32_t>(position / kWordsPerSector));
            break;
        case PARANOIA_CB_FIXUP_EDGE:
        case PARANOIA_CB_FIXUP_ATOM:
        case PARANOIA_CB_FIXUP_DROPPED:
        case PARANOIA_CB_FIXUP_DUPED:
            ++reporting->report.fixups;
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

    void NoteRead(long lba, long count)
    {
        if (sectorsRead) sectorsRead->fetch_add(count, std::memory_order_relaxed);
        if (damage) damage->NoteRead(static_cast<std::int32_t>(lba), static_cast<std::int32_t>(count));
    }

    long Read(void* buffer, long begin, long sectors)
    {
        if (stop.load()) return GiveUp();
        if (sectors <= 0) return sectors;
        // A null buffer only moves the drive's position (the library does this
        // to get past the drive's cache, even beyond the disc's end); the
        // sectors are read and dropped, and a failure is no damage.
        std::uint8_t* target = static_cast<std::uint8_t*>(buffer);
        if (!target) {
            scratch.resize(static_cast<std::size_t>(sectors) * kSectorBytes);
            const long count = std::min<long>(sectors, kLongestCorrectedRead);
            if (DriveRead(begin, count, scratch.data(), false) == kScsiOk) return count;
            errno = EIO;
            return -1;
        }
        for (long done = 0; done < sectors;) {
            const long count = std::min<long>(sectors - done, kLongestCorrectedRead);
            std::uint8_t* at = target + done * kSectorBytes;
            const std::int32_t status = DriveRead(begin + done, count, at);
            if (status == kScsiOk) {
                NoteRead(begin + done, count);
            } else {
                ++report.readErrors;
                if (stop.load() || DriveLost(status) || !jitterCorrection) return GiveUp();
                const long got = ReadAround(begin + done, count, at);
                if (got < 0) return GiveUp();
                // Short of the request: the library keeps the sectors it got
                // and marks the rest as unread, never to be compared.
                if (got < count) return done + got;
            }
            done += count;
        }
        return sectors;
    }

    // After a failed read of [first, first + count): reads every sector the
    // drive can read, each readable stretch with one command, so that the
    // audio in it is continuous as the library expects of one read (a drive
    // may land each command a little early or late). A sector inside the
    // track that cannot be read is handed over as silence: the library then
    // sees the same silence in every read of it and verifies the audio around
    // it, where it would otherwise skip over a stretch of it. At the first
    // sector past the track that cannot be read the read is answered short:
    // no silence of our making goes where the library verifies the track's
    // end against. Every failure is noted for the damage check. Answers the
    // sectors delivered, or -1 when the drive went away or the stop came.
    long ReadAround(long first, long count, std::uint8_t* target)
    {
        bool spanFailed = true;     // [first + done, first + count) is known to fail as a whole
        bool afterFailure = false;  // the sector before first + done could not be read
        for (long done = 0; done < count;) {
            const long run = ReadRun(first + done, count - done, target + done * kSectorBytes, spanFailed, afterFailure);
            if (run < 0) return -1;
            done += run;
            if (done == count) break;
            damage->NoteReadFailure(static_cast<std::int32_t>(first + done));
            if (first + done >= trackEnd) return done;
            std::memset(target + done * kSectorBytes, 0, kSectorBytes);
            ++done;
            spanFailed = false;
            afterFailure = true;
        }
        return count;
    }

    // Reads the longest readable start of [first, first + count) with one
    // command into `target`, searching its length by halves; a sector after
    // an unreadable one is tried alone first, since scratches come in runs.
    // Failed commands never touch `target`. Answers the sectors read, or -1.
    long ReadRun(long first, long count, std::uint8_t* target, bool spanFailed, bool afterFailure)
    {
        auto attempt = [&](long n) -> std::optional<bool> {
            if (stop.load()) return std::nullopt;
            attemptBuffer.resize(static_cast<std::size_t>(n) * kSectorBytes);
            const std::int32_t status = DriveRead(first, n, attemptBuffer.data());
            if (status != kScsiOk) {
                ++report.readErrors;
                if (DriveLost(status)) return std::nullopt;
                return false;
            }
            std::memcpy(target, attemptBuffer.data(), attemptBuffer.size());
            NoteRead(first, n);
            return true;
        };
        long good = 0;                              // read whole with one command
        long bad = spanFailed ? count : count + 1;  // the shortest length known to fail
        if (afterFailure) {
            const std::optional<bool> one = attempt(1);
            if (!one) return -1;
            if (!*one) return 0;
            good = 1;
        }
        if (bad > count && good < count) {
            const std::optional<bool> all = attempt(count);
            if (!all) return -1;
            if (*all) return count;
            bad = count;
        }
        while (bad - good > 1) {
            const long half = (good + bad) / 2;
            const std::optional<bool> ok = attempt(half);
            if (!ok) return -1;
            (*ok ? good : bad) = half;
        }
        return std::min(good, count);
    }

    std::shared_ptr<ScsiCommand> drive;
    const std::int32_t firstSector;
    const std::int32_t trackEnd;
    const std::int32_t readableEnd;
    const bool jitterCorrection;
    const ReadOffset offset;
    const std::atomic<bool>& stop;
    std::atomic<std::int64_t>* sectorsRead;
    OutsideSilence silence;  // where a read gave silence outside the disc's audio
    std::vector<std::uint8_t> scratch;
    std::vector<std::uint8_t> attemptBuffer;
    std::optional<DamageCheck> damage;  // with correction only
    std::int32_t delivered = 0;
    ExtractionReport report;
    alignas(16) unsigned char privateData[256] = {};  // the library keeps read timings here
    Descriptor descriptor{};
    cdrom_paranoia* paranoia = nullptr;
};

thread_local RipReader::Library* RipReader::Library::reporting = nullptr;

RipReader::RipReader(std::shared_ptr<ScsiCommand> drive, std::int32_t firstSector, std::int32_t sectorCount,
                     std::int32_t readableEnd, bool jitterCorrection, const ReadOffset& offset,
                     const std::atomic<bool>& stop, std::atomic<std::int64_t>* sectorsRead)
    : library_(std::make_unique<Library>(std::move(drive), firstSector, sectorCount, readableEnd, jitterCorrection,
                                         offset, stop, sectorsRead))
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

    if (jitterCorrection)
        l.damage.emplace(firstSector, sectorCount, end, [&l](std::int32_t lba, std::int32_t count, std::uint8_t* out) {
            return !l.stop.load() && l.DriveRead(lba, count, out) == kScsiOk;
        });

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
    if (l.damage) {
        l.damage->Delivered(sector);
        if (++l.delivered == l.trackEnd - l.firstSector) l.damage->Finish();
    }
    return sector;
}

ExtractionReport RipReader::Report() const
{
    const Library& l = *library_;
    ExtractionReport report = l.report;
    if (l.damage) static_cast<DamageVerdict&>(report) = l.damage->Verdict();
    // Only the samples of the track itself count, once each, however often
    // the library read them.
    const OutsideSamples outside =
        SamplesOutside(l.offset.samples, l.readableEnd, l.firstSector, l.trackEnd - l.firstSector);
    report.silent.before = l.silence.before ? outside.before : 0;
    report.silent.after = l.silence.after ? outside.after : 0;
    return report;
}

}  // namespace tesslow
