#include "ripper/rip_monitor.h"

#include "ripper/cancel_answering_sink.h"
#include "support/recording_sink.h"

#include "platform/messages.h"

#include <gtest/gtest.h>

namespace tesslow {
namespace {

std::intptr_t Deliver(RipMonitor& monitor, std::uint32_t id, std::uintptr_t w = 0, std::intptr_t l = 0)
{
    return monitor.Handle(Message{id, w, l}, 0);
}

void Error(RipMonitor& monitor, const char* line) { Deliver(monitor, UM_RIP_ERROR, reinterpret_cast<std::uintptr_t>(line)); }

TEST(RipMonitor, ResultIsCanceledBeforeErrorsBeforeSuccess)
{
    RipMonitor clean;
    Deliver(clean, UM_RIP_STARTED);
    Deliver(clean, UM_RIP_TOTAL_RANGE, 1000);
    Deliver(clean, UM_RIP_TRACK_STARTED, 2);
    Deliver(clean, UM_RIP_TRACK_RANGE, 400);
    Deliver(clean, UM_RIP_PROGRESS, 400, 1000);
    Deliver(clean, UM_RIP_FINISHED);
    EXPECT_TRUE(clean.Finished());
    EXPECT_EQ(clean.Result(), RipResult::Success);
    EXPECT_EQ(clean.CurrentTrack(), 2u);
    EXPECT_EQ(clean.JobPosition(), 1000);

    RipMonitor withErrors;
    Error(withErrors, "a.wav: file skipped");
    Error(withErrors, "b.wav: CD read error.");
    EXPECT_EQ(withErrors.Result(), RipResult::CompletedWithErrors);
    EXPECT_EQ(withErrors.ErrorText(), "a.wav: file skipped\r\nb.wav: CD read error.");

    RipMonitor canceled;
    EXPECT_EQ(Deliver(canceled, UM_RIP_QUERY_CANCEL), 0);
    canceled.ConfirmCancel();
    EXPECT_EQ(Deliver(canceled, UM_RIP_QUERY_CANCEL), 1);
    Error(canceled, "c.wav: Canceled.");
    EXPECT_EQ(canceled.Result(), RipResult::Canceled);
}

}  // namespace
}  // namespace tesslow

namespace tesslow {
namespace {

TEST(CancelAnsweringSink, AnswersTheCancelQuestionFromTheFlagAndPassesEverythingElseOn)
{
    auto inner = std::make_shared<test::RecordingSink>();
    inner->Answer([](const Message&) -> std::intptr_t { return 5; });
    CancelAnsweringSink sink(inner);
    EXPECT_EQ(sink.Send(UM_RIP_QUERY_CANCEL, 0, 0), 0);
    sink.ConfirmCancel();
    EXPECT_EQ(sink.Send(UM_RIP_QUERY_CANCEL, 0, 0), 1);
    const char* line = "x.wav: Canceled.";
    EXPECT_EQ(sink.Send(UM_RIP_ERROR, reinterpret_cast<std::uintptr_t>(line), 0), 5);
    sink.Post(UM_RIP_FINISHED, 0, 0);
    EXPECT_EQ(inner->Ids(), (std::vector<std::uint32_t>{UM_RIP_ERROR, UM_RIP_FINISHED}));
}

}  // namespace
}  // namespace tesslow
