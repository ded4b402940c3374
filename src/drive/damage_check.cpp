#include "drive/damage_check.h"

#include "app/cd_audio.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace tesslow {

namespace {

constexpr std::int32_t kRingSectors = 128;
constexpr std::int32_t kAnchorSectors = 4;
// A longer stretch of sectors to check is checked in parts of this size.
constexpr std::int32_t kMaxRun = 64;
// Sectors are checked once this many more have been delivered, so that a
// site the library notes a little late still counts.
constexpr std::int32_t kLag = 8;
constexpr int kAttempts = 8;

static_assert(kMaxRun + kAnchorSectors + kLag < kRingSectors, "a run and its anchor stay in the ring until checked");

bool Silence(const std::uint8_t* sector)
{
    return std::all_of(sector, sector + kSectorBytes, [](std::uint8_t b) { return b == 0; });
}

}  // namespace

DamageCheck::DamageCheck(std::int32_t firstSector, std::int32_t sectorCount, std::int32_t readableEnd, PlainRead read)
    : first_(firstSector),
      count_(std::max(sectorCount, 0)),
      readableEnd_(readableEnd),
      read_(std::move(read)),
      firstFailureAfter_(std::numeric_limits<std::int32_t>::max())
{
    // Nothing readable follows the track: its last sectors had nothing to be
    // verified against.
    if (readableEnd_ - (first_ + count_) < kTail && count_ > 0) {
        WatchFromHere();
        for (std::int32_t i = std::max(count_ - kTail, 0); i < count_; ++i) state_[static_cast<std::size_t>(i)] = State::ToCheck;
    }
}

// A track without damage costs nothing: the states and the ring of delivered
// sectors are made when the first site is noted (the library reads well
// ahead of what it delivers, so the sectors before it are still to come).
void DamageCheck::WatchFromHere()
{
    if (!state_.empty()) return;
    state_.assign(static_cast<std::size_t>(count_), State::Trusted);
    ring_.resize(static_cast<std::size_t>(kRingSectors) * kSectorBytes);
    ringFrom_ = delivered_;
}

bool DamageCheck::Failed(std::int32_t lba) const
{
    if (InTrack(lba)) return failed_.contains(lba);
    return lba >= first_ + count_ && lba >= firstFailureAfter_;
}

bool DamageCheck::NeverRead(std::int32_t index) const
{
    return failed_.contains(first_ + index) && !recovered_.contains(first_ + index);
}

bool DamageCheck::InRing(std::int32_t index) const
{
    return index >= ringFrom_ && index < delivered_ && index >= delivered_ - kRingSectors;
}

const std::uint8_t* DamageCheck::Sector(std::int32_t index) const
{
    return ring_.data() + static_cast<std::size_t>(index % kRingSectors) * kSectorBytes;
}

void DamageCheck::NoteRead(std::int32_t lba, std::int32_t count)
{
    for (auto failed = failed_.lower_bound(lba); failed != failed_.end() && *failed < lba + count; ++failed)
        recovered_.insert(*failed);
}

void DamageCheck::NoteReadFailure(std::int32_t lba)
{
    if (InTrack(lba)) {
        if (!failed_.insert(lba).second) return;
        if (firstSite_ < 0 || Index(lba) < firstSite_) firstSite_ = Index(lba);
    } else if (lba >= first_ + count_ && lba < firstFailureAfter_) {
        firstFailureAfter_ = lba;
        // Only a failure close enough after the track's end can have misled
        // the library about the track.
        if (lba >= first_ + count_ + kReach) return;
    } else {
        return;
    }
    MarkAround(lba);
}

void DamageCheck::NoteSkip(std::int32_t lba)
{
    if (!InTrack(lba)) return;
    if (firstSite_ < 0 || Index(lba) < firstSite_) firstSite_ = Index(lba);
    MarkAround(lba);
}

void DamageCheck::MarkAround(std::int32_t lba)
{
    WatchFromHere();
    const std::int32_t from = std::max(Index(lba) - kReach, 0);
    const std::int32_t to = std::min(Index(lba) + kReach + 1, count_);
    for (std::int32_t i = from; i < to; ++i) {
        State& state = state_[static_cast<std::size_t>(i)];
        if (state != State::Trusted) continue;
        // Already past the check: it can no longer be vouched for.
        state = i < checked_ ? State::Unverified : State::ToCheck;
    }
}

void DamageCheck::Delivered(const std::uint8_t* sector)
{
    if (delivered_ >= count_) return;
    if (state_.empty()) {
        ++delivered_;
        return;
    }
    std::memcpy(ring_.data() + static_cast<std::size_t>(delivered_ % kRingSectors) * kSectorBytes, sector, kSectorBytes);
    ++delivered_;
    CheckUpTo(delivered_ - kLag);
}

void DamageCheck::Finish()
{
    if (state_.empty()) return;
    CheckUpTo(delivered_);
    // Unless the drive was seen to land true, where the audio after damage
    // belongs cannot be told; silence where nothing could be read is still
    // silence.
    if (firstSite_ >= 0 && (jitter_ || !landsTrue_))
        for (auto state = state_.begin() + firstSite_; state != state_.end(); ++state)
            if (*state != State::Silent) *state = State::Unverified;
}

// Checks every stretch of sectors to check that ends before `end`.
void DamageCheck::CheckUpTo(std::int32_t end)
{
    std::int32_t i = checked_;
    while (i < end) {
        if (state_[static_cast<std::size_t>(i)] != State::ToCheck) {
            ++i;
            continue;
        }
        std::int32_t runEnd = i;
        while (runEnd < end && runEnd - i < kMaxRun && state_[static_cast<std::size_t>(runEnd)] == State::ToCheck) ++runEnd;
        const bool mayGoOn = runEnd == end && runEnd < delivered_ && runEnd - i < kMaxRun;
        if (mayGoOn && state_[static_cast<std::size_t>(runEnd)] == State::ToCheck) break;
        CheckRun(i, runEnd);
        i = runEnd;
    }
    checked_ = std::max(checked_, i);
}

void DamageCheck::CheckRun(std::int32_t begin, std::int32_t end)
{
    const bool lostStep = jitter_ && firstSite_ >= 0;
    std::int32_t readable = begin;
    auto flush = [&](std::int32_t upTo) {
        if (readable < upTo) CheckReadable(readable, upTo);
    };
    for (std::int32_t i = begin; i < end; ++i) {
        State& state = state_[static_cast<std::size_t>(i)];
        if ((lostStep && i >= firstSite_) || NeverRead(i) || !InRing(i)) {
            flush(i);
            const bool silence = !lostStep && InRing(i) && NeverRead(i) && Silence(Sector(i));
            state = silence ? State::Silent : State::Unverified;
            readable = i + 1;
        }
    }
    flush(end);
}

// Confirms sectors [begin, end), all read by the drive at least once and all
// still in the ring, with plain reads.
void DamageCheck::CheckReadable(std::int32_t begin, std::int32_t end)
{
    // Verified audio right before them to align the reads on. At the
    // track's start, where the library's reads of the track began, its first
    // sectors are the anchor, and count as confirmed once a read aligns on
    // them.
    std::int32_t anchor = 0;
    while (anchor < kAnchorSectors && begin - anchor - 1 >= 0 && InRing(begin - anchor - 1)) {
        const State state = state_[static_cast<std::size_t>(begin - anchor - 1)];
        if (state != State::Trusted && state != State::Confirmed) break;
        ++anchor;
    }
    const bool atStart = anchor == 0 && begin == 0 && end > kAnchorSectors;
    if (atStart) {
        anchor = kAnchorSectors;
        begin = kAnchorSectors;
    }
    std::vector<std::uint8_t> anchorBytes, sectors;
    for (std::int32_t i = begin - anchor; i < begin; ++i) anchorBytes.insert(anchorBytes.end(), Sector(i), Sector(i) + kSectorBytes);
    for (std::int32_t i = begin; i < end; ++i) sectors.insert(sectors.end(), Sector(i), Sector(i) + kSectorBytes);

    // Reads start up to a few sectors before the anchor (the drive can read
    // into the track before), never at a sector that failed; they end a
    // sector past the stretch where that sector can be read, so that a read
    // that lands late still covers its last samples.
    const std::int32_t anchorLba = first_ + begin - anchor;
    std::int32_t firstReadable = anchorLba;
    while (firstReadable > std::max(0, anchorLba - (kAttempts - 1)) && !Failed(firstReadable - 1)) --firstReadable;
    const std::int32_t endLba = first_ + end;
    const std::int32_t readEnd = endLba < readableEnd_ && !Failed(endLba) ? endLba + 1 : endLba;

    // Before the first damage inside the track, the reads also tell whether
    // the drive lands true: two aligned reads from different starts.
    const bool measure = firstSite_ >= 0 && begin < firstSite_ && !landsTrue_ && !jitter_;
    const PlainReadVerdict verdict = CheckWithPlainReads(
        {.sectors = sectors, .lba = first_ + begin, .anchor = anchorBytes, .firstReadable = firstReadable,
         .readEnd = readEnd, .attempts = kAttempts, .alignedReadsWanted = measure ? 2 : 1},
        read_);
    if (verdict.landedOff) jitter_ = true;
    else if (verdict.alignedReads >= 2) landsTrue_ = true;
    if (atStart)
        for (std::int32_t i = 0; i < kAnchorSectors; ++i)
            state_[static_cast<std::size_t>(i)] = verdict.alignedReads > 0 ? State::Confirmed : State::Unverified;
    for (std::int32_t i = begin; i < end; ++i)
        state_[static_cast<std::size_t>(i)] =
            verdict.confirmed[static_cast<std::size_t>(i - begin)] ? State::Confirmed : State::Unverified;
}

DamageVerdict DamageCheck::Verdict() const
{
    DamageVerdict verdict;
    if (state_.empty()) return verdict;
    std::int32_t lastTrusted = -1;  // the last sector not unverified
    for (std::int32_t i = 0; i < count_; ++i) {
        const State state = state_[static_cast<std::size_t>(i)];
        const bool silent = state == State::Silent;
        const bool unverified = state == State::Unverified || state == State::ToCheck;
        if (silent) ++verdict.unreadableSectors;
        if (unverified) ++verdict.unverifiedSectors;
        else lastTrusted = i;
        if ((silent || unverified) && verdict.firstDoubtfulSector < 0) verdict.firstDoubtfulSector = first_ + i;
    }
    verdict.onlyAtEnd = verdict.unverifiedSectors > 0 && verdict.unreadableSectors == 0 && firstSite_ < 0 &&
                        lastTrusted + 1 == count_ - verdict.unverifiedSectors;
    return verdict;
}

}  // namespace tesslow
