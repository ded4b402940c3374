#include "ripper/rip_clock.h"

#include "platform/format.h"

namespace tesslow {

void RipClock::Start(std::uint64_t nowMs)
{
    *this = RipClock();
    startMs_ = nowMs;
}

void RipClock::Tick(std::uint64_t nowMs)
{
    elapsed_ = static_cast<std::uint32_t>((nowMs - startMs_) / 1000);
    if (estimate_ >= 0 && tickCounter_ % 2 == 1) --estimate_;
    if (tickCounter_ % 10 == 9) {
        const std::int64_t advanced = jobPosition_ - positionAtLastEstimate_;
        const std::int64_t remaining = jobRange_ - jobPosition_;
        estimate_ = advanced == 0 ? -1 : static_cast<std::int32_t>(remaining / (advanced / 5.0));
        positionAtLastEstimate_ = jobPosition_;
        tickCounter_ = 0;
    } else {
        ++tickCounter_;
    }
}

std::string RipClock::ElapsedText() const
{
    return Format("Time elapsed: %02d:%02d", elapsed_ / 60, elapsed_ % 60);
}

std::string RipClock::LeftText() const
{
    if (elapsed_ < 10 || estimate_ < 0) return "Time left: ??:??";
    return Format("Time left: %02d:%02d", estimate_ / 60, estimate_ % 60);
}

}  // namespace tesslow
