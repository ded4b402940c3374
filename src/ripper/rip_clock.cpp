#include "ripper/rip_clock.h"

#include "platform/format.h"

namespace tesslow {

EstimateMemory& ProcessEstimateMemory()
{
    static EstimateMemory memory;
    return memory;
}

void RipClock::Start(std::uint64_t nowMs)
{
    // The positions and the range are the rip's; the estimate is not.
    startMs_ = nowMs;
    jobRange_ = 0;
    jobPosition_ = 0;
    positionAtLastEstimate_ = 0;
    elapsed_ = 0;
}

void RipClock::Tick(std::uint64_t nowMs)
{
    elapsed_ = static_cast<std::uint32_t>((nowMs - startMs_) / 1000);
    std::int32_t& estimate = memory_->estimate;
    std::uint32_t& tickCounter = memory_->tickCounter;
    if (estimate >= 0 && tickCounter % 2 == 1) --estimate;
    if (tickCounter % 10 == 9) {
        const std::int64_t advanced = jobPosition_ - positionAtLastEstimate_;
        const std::int64_t remaining = jobRange_ - jobPosition_;
        estimate = advanced == 0 ? -1 : static_cast<std::int32_t>(remaining / (advanced / 5.0));
        positionAtLastEstimate_ = jobPosition_;
        tickCounter = 0;
    } else {
        ++tickCounter;
    }
}

std::string RipClock::ElapsedText() const
{
    return Format("Time elapsed: %02d:%02d", elapsed_ / 60, elapsed_ % 60);
}

std::string RipClock::LeftText() const
{
    const std::int32_t estimate = memory_->estimate;
    if (elapsed_ < 10 || estimate < 0) return "Time left: ??:??";
    return Format("Time left: %02d:%02d", estimate / 60, estimate % 60);
}

}  // namespace tesslow
