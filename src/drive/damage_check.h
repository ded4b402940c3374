#pragma once

#include "drive/plain_read_check.h"

#include <cstdint>
#include <set>
#include <vector>

namespace tesslow {

// What the check of one track found, in sectors of the track.
struct DamageVerdict {
    std::int32_t unreadableSectors = 0;   // never read, delivered as silence where they belong
    std::int32_t unverifiedSectors = 0;   // no read vouches for them: they may not be the disc's audio
    std::int32_t firstDoubtfulSector = -1;  // LBA of the first of either kind, -1 when there is none
    bool onlyAtEnd = false;  // no damage inside the track; the unverified sectors are its last ones
};

// Vouches for what the paranoia library delivered where reading went wrong,
// with plain reads of its own.
//
// The library verifies a sector by comparing overlapping reads. Next to a
// sector the drive cannot read it has nothing true to compare with, and on a
// drive whose reads land a little early or late (jitter) it can take shifted
// audio for verified there, or lose step and deliver everything after the
// damage shifted. The end of a track with nothing readable after it has the
// same weakness. So every sector within kReach of a damage site (a sector
// whose read failed, inside the track or after its end, or a place where the
// library gave up verifying) is checked:
// - a sector the drive never read is vouched for as silence when it was
//   delivered as silence;
// - the others are confirmed by plain reads, aligned on the verified audio
//   before them where there is some (see CheckWithPlainReads);
// - where the audio after damage inside the track belongs can be told only on
//   a drive that lands where it is asked to (aligned reads of the verified
//   audio before the first damage, from two different starts, both land
//   true): there plain reads confirm it as they lie. On a drive seen to
//   jitter, or not seen at all, every read sector from the first damage to
//   the track's end is unverified, whatever reads agree with it.
// Only the verdict depends on this; the delivered audio is never changed.
//
// It keeps the last sectors delivered, so a site must be noted before the
// library delivers sectors more than a few dozen past it (the library reads
// well ahead of what it delivers); a site noted later leaves the sectors it
// can no longer check unverified. Used by one thread.
class DamageCheck {
public:
    static constexpr std::int32_t kReach = 30;  // sectors checked on each side of a site
    static constexpr std::int32_t kTail = 2;    // a track's last sectors checked when nothing readable follows

    // The track is [firstSector, firstSector + sectorCount); the drive can
    // read up to readableEnd (exclusive). `read` is called with the sectors
    // to check and never touches a known failure or anything at or past
    // readableEnd.
    DamageCheck(std::int32_t firstSector, std::int32_t sectorCount, std::int32_t readableEnd, PlainRead read);

    void NoteRead(std::int32_t lba, std::int32_t count);  // a read of these sectors succeeded
    void NoteReadFailure(std::int32_t lba);               // a read of this sector failed
    void NoteSkip(std::int32_t lba);                      // the library gave up verifying here

    // The next sector delivered, in order; the checks whose sectors have all
    // arrived run here.
    void Delivered(const std::uint8_t* sector);
    // After the last sector: runs the remaining checks.
    void Finish();
    DamageVerdict Verdict() const;

private:
    enum class State : std::uint8_t { Trusted, ToCheck, Confirmed, Silent, Unverified };

    std::int32_t Index(std::int32_t lba) const { return lba - first_; }
    bool InTrack(std::int32_t lba) const { return lba >= first_ && lba < first_ + count_; }
    bool Failed(std::int32_t lba) const;
    bool NeverRead(std::int32_t index) const;
    bool InRing(std::int32_t index) const;
    const std::uint8_t* Sector(std::int32_t index) const;
    void WatchFromHere();
    void MarkAround(std::int32_t lba);
    void CheckUpTo(std::int32_t end);
    void CheckRun(std::int32_t begin, std::int32_t end);
    void CheckReadable(std::int32_t begin, std::int32_t end);

    const std::int32_t first_;
    const std::int32_t count_;
    const std::int32_t readableEnd_;
    const PlainRead read_;
    std::set<std::int32_t> failed_;     // track sectors a read of which failed
    std::set<std::int32_t> recovered_;  // of those, the ones a later read got
    std::int32_t firstFailureAfter_;    // the first failed LBA at or after the track's end
    std::vector<State> state_;          // per track sector; empty while nothing is to be checked
    std::int32_t firstSite_ = -1;  // index of the first damage inside the track
    bool jitter_ = false;     // a read landed off
    bool landsTrue_ = false;  // two reads aligned on verified audio landed true
    std::vector<std::uint8_t> ring_;  // the last sectors delivered, once something is to be checked
    std::int32_t ringFrom_ = 0;       // the first sector the ring has kept
    std::int32_t delivered_ = 0;
    std::int32_t checked_ = 0;  // sectors before this index have been checked
};

}  // namespace tesslow
