#include "ripper/rip_monitor.h"

#include "metadata/naming.h"
#include "platform/messages.h"

#include <algorithm>

namespace tesslow {

std::intptr_t RipMonitor::Handle(const Message& message, std::uint64_t nowMs)
{
    switch (message.id) {
    case UM_RIP_STARTED:
        started_ = true;
        tracks_.clear();
        accuracy_.reset();
        albumGain_.reset();
        noteLines_.clear();
        readOffset_.reset();
        step_ = RipStep::Tracks;
        trackPosition_ = jobPosition_ = jobRange_ = 0;
        clock_.Start(nowMs);
        break;
    case UM_RIP_TOTAL_RANGE:
        jobRange_ = static_cast<std::int64_t>(message.wParam);
        clock_.SetJobRange(jobRange_);
        break;
    case UM_RIP_TRACK_RANGE:
        trackRange_ = static_cast<std::int64_t>(message.wParam);
        break;
    case UM_RIP_TRACK_STARTED:
        currentTrack_ = static_cast<std::uint32_t>(message.wParam);
        currentRead_ = std::max<int>(1, static_cast<int>(message.lParam));
        trackPosition_ = 0;
        break;
    case UM_RIP_PROGRESS:
        trackPosition_ = static_cast<std::int64_t>(message.wParam);
        jobPosition_ = message.lParam;
        clock_.SetJobPosition(jobPosition_);
        break;
    case UM_RIP_ERROR:
        if (message.wParam) errorLines_.emplace_back(reinterpret_cast<const char*>(message.wParam));
        break;
    case UM_RIP_TRACK_DONE:
        if (message.wParam) tracks_.push_back(*reinterpret_cast<const TrackOutcome*>(message.wParam));
        break;
    case UM_RIP_ACCURACY:
        if (message.wParam) accuracy_ = *reinterpret_cast<const AccuracyOutcome*>(message.wParam);
        break;
    case UM_RIP_COVER:
        if (message.wParam) cover_ = *reinterpret_cast<const CoverOutcome*>(message.wParam);
        break;
    case UM_RIP_ALBUM_GAIN:
        if (message.wParam) albumGain_ = *reinterpret_cast<const AlbumGainOutcome*>(message.wParam);
        break;
    case UM_RIP_NOTE:
        if (message.wParam) noteLines_.emplace_back(reinterpret_cast<const char*>(message.wParam));
        break;
    case UM_RIP_READ_OFFSET:
        if (message.wParam) readOffset_ = *reinterpret_cast<const ReadOffsetUsed*>(message.wParam);
        break;
    case UM_RIP_STEP:
        step_ = static_cast<RipStep>(message.wParam);
        break;
    case UM_RIP_QUERY_CANCEL:
        return cancelConfirmed_ ? 1 : 0;
    case UM_RIP_FINISHED:
        finished_ = true;
        break;
    default:
        break;
    }
    return 0;
}

void RipMonitor::Tick(std::uint64_t nowMs)
{
    if (started_ && !finished_) clock_.Tick(nowMs);
}

RipResult RipMonitor::Result() const
{
    if (cancelConfirmed_) return RipResult::Canceled;
    return errorLines_.empty() ? RipResult::Success : RipResult::CompletedWithErrors;
}

std::string RipMonitor::ErrorText() const
{
    std::string text;
    for (const std::string& line : errorLines_) {
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    return text;
}

std::string TrackStatusText(const DiscRecord& disc, const RipMonitor& monitor)
{
    if (!monitor.CurrentTrack()) return {};
    std::string text = ExpandNameTemplate(disc, *monitor.CurrentTrack(), "%5 \xE2\x80\x94 %2");
    if (monitor.CurrentRead() > 1) text += " (read " + std::to_string(monitor.CurrentRead()) + ", checking the copy)";
    return text;
}

}  // namespace tesslow
