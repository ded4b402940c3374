#pragma once

#include <cstdint>
#include <string>

namespace tesslow {

// The elapsed time and the estimate of the time left shown while a job runs.
// The owner calls Tick every 500 ms; the estimate is refreshed every 5 s from
// how far the job moved in that window and counts down one second per second
// in between. "??:??" shows for the first 10 s and whenever the job did not
// move in the last window.
//
// The estimate and the tick counter that paces it live for the whole process,
// not per rip (EstimateMemory): a second rip's first estimate comes when the
// first rip's count of ticks says, and a running estimate carries over.
//
// Pure arithmetic on the times it is given; one thread.
struct EstimateMemory {
    std::int32_t estimate = -1;  // seconds left; -1: unknown
    std::uint32_t tickCounter = 0;
};

// The process's own, which every clock uses unless given another.
EstimateMemory& ProcessEstimateMemory();

class RipClock {
public:
    static constexpr std::uint32_t kTickMs = 500;

    RipClock() : memory_(&ProcessEstimateMemory()) {}
    explicit RipClock(EstimateMemory& memory) : memory_(&memory) {}

    void Start(std::uint64_t nowMs);  // on UM_RIP_STARTED
    void SetJobRange(std::int64_t bytes) { jobRange_ = bytes; }
    void SetJobPosition(std::int64_t bytes) { jobPosition_ = bytes; }
    void Tick(std::uint64_t nowMs);

    std::int32_t EstimateSeconds() const { return memory_->estimate; }  // -1: unknown

    std::string ElapsedText() const;  // "Time elapsed: MM:SS"
    std::string LeftText() const;     // "Time left: MM:SS" or "Time left: ??:??"

private:
    std::uint64_t startMs_ = 0;
    std::int64_t jobRange_ = 0;
    std::int64_t jobPosition_ = 0;
    std::int64_t positionAtLastEstimate_ = 0;
    std::uint32_t elapsed_ = 0;
    EstimateMemory* memory_;
};

}  // namespace tesslow
