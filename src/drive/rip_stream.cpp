#include "drive/rip_stream.h"

#include "app/cd_audio.h"
#include "app/disc_record.h"
#include "drive/rip_reader.h"
#include "platform/fd_io.h"
#include "platform/pipe.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <chrono>
#include <optional>
#include <stdexcept>

namespace tesslow {

namespace {

constexpr auto kStopWait = std::chrono::milliseconds(1000);
constexpr int kGiveUpIntervalMs = 100;

}  // namespace

// What the extraction thread and the stream's owner share; the thread holds
// its own reference, so an abandoned thread touches nothing freed.
struct RipExtractionState {
    std::shared_ptr<ScsiCommand> drive;
    std::int32_t startSector = 0;
    std::int32_t sectorCount = 0;
    std::int32_t readableEnd = 0;
    bool jitterCorrection = false;
    ReadOffset offset;
    std::atomic<bool> stop{false};
    std::atomic<bool> readError{false};
    std::atomic<std::int64_t> sectorsRead{0};  // of the track, every read counted
    mutable std::mutex mutex;
    ExtractionReport report;  // under the mutex
};

namespace {

// The extraction thread's body: one sector per pipe write, then the write end
// is closed, after readError is final. Never throws.
void Extract(RipExtractionState& shared, UniqueFd out)
{
    std::optional<RipReader> reader;
    try {
        if (shared.sectorCount > 0) {
            if (!shared.drive) throw std::invalid_argument("no drive");
            reader.emplace(shared.drive, shared.startSector, shared.sectorCount, shared.readableEnd,
                           shared.jitterCorrection, shared.offset, shared.stop, &shared.sectorsRead);
        }
        for (std::int32_t i = 0; i < shared.sectorCount && !shared.stop.load(); ++i) {
            const std::uint8_t* sector = reader->ReadSector();
            if (!sector) {
                // "Audio CD read error.": the library gave up on the sector.
                shared.readError = true;
                break;
            }
            if (shared.stop.load()) break;
            if (!WriteAll(out.Get(), sector, kSectorBytes)) {
                if (!shared.stop.load()) shared.readError = true;
                break;
            }
        }
        if (reader) {
            std::lock_guard lock(shared.mutex);
            shared.report = reader->Report();
        }
    } catch (...) {
        shared.readError = true;
    }
    out.Reset();
}

}  // namespace

RipStream::RipStream() = default;
RipStream::RipStream(RipStream&&) noexcept = default;
RipStream& RipStream::operator=(RipStream&& other) noexcept
{
    if (this != &other) {
        Stop();
        shared_ = std::move(other.shared_);
        readEnd_ = std::move(other.readEnd_);
        thread_ = std::move(other.thread_);
    }
    return *this;
}

RipStream::~RipStream() { Stop(); }

ssize_t RipStream::Read(void* buffer, std::size_t size)
{
    if (!readEnd_) return -1;
    return ReadFull(readEnd_.Get(), buffer, size);
}

ssize_t RipStream::Read(void* buffer, std::size_t size, const std::function<bool()>& giveUp)
{
    if (!readEnd_) return -1;
    return ReadFullUnless(readEnd_.Get(), buffer, size, kGiveUpIntervalMs, giveUp);
}

bool RipStream::ReadError() const { return shared_ && shared_->readError.load(); }

std::int32_t RipStream::SectorsReached() const
{
    if (!shared_) return 0;
    // With correction the library reads each stretch twice to compare the reads.
    const std::int64_t read = shared_->sectorsRead.load(std::memory_order_relaxed);
    return static_cast<std::int32_t>(std::min<std::int64_t>(shared_->jitterCorrection ? read / 2 : read, shared_->sectorCount));
}

ExtractionReport RipStream::Report() const
{
    if (!shared_) return {};
    std::lock_guard lock(shared_->mutex);
    return shared_->report;
}

void RipStream::Stop()
{
    if (shared_) shared_->stop = true;
    readEnd_.Reset();
    if (thread_.Running()) (void)thread_.WaitFor(kStopWait);
}

RipStream StartRipExtraction(const DiscRecord& disc, std::size_t trackIndex, bool jitterCorrection,
                             const ReadOffset& offset)
{
    RipStream stream;
    stream.shared_ = std::make_shared<RipExtractionState>();
    RipExtractionState& shared = *stream.shared_;
    const std::optional<TocEntry> extent = TrackExtent(disc, trackIndex);
    if (!extent) return stream;
    const TocEntry& track = *extent;
    Pipe pipe(static_cast<std::size_t>(std::max(track.length, 0)) * kSectorBytes);
    if (!pipe.Valid()) return stream;
    shared.drive = disc.drive;
    shared.startSector = track.start;
    shared.sectorCount = track.length;
    shared.readableEnd = AudioEnd(disc);
    shared.jitterCorrection = jitterCorrection;
    shared.offset = offset;
    stream.readEnd_ = std::move(pipe.readEnd);
    stream.thread_ = WorkerThread([state = stream.shared_, out = std::make_shared<UniqueFd>(std::move(pipe.writeEnd))] {
        Extract(*state, std::move(*out));
    });
    return stream;
}

}  // namespace tesslow
