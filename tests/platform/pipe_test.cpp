#include "platform/fd_io.h"
#include "platform/pipe.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <cerrno>
#include <thread>
#include <vector>

namespace tesslow {
namespace {

TEST(Pipe, CarriesBytesAndEndsWhenTheWriterCloses)
{
    Pipe pipe(37632);
    ASSERT_TRUE(pipe.Valid());
    EXPECT_GE(::fcntl(pipe.writeEnd.Get(), F_GETPIPE_SZ), 37632);
    std::thread writer([&] {
        std::vector<unsigned char> sector(2352);
        for (int i = 0; i < 100; ++i) {
            sector.assign(sector.size(), static_cast<unsigned char>(i));
            ASSERT_TRUE(WriteAll(pipe.writeEnd.Get(), sector.data(), sector.size()));
        }
        pipe.writeEnd.Reset();
    });
    std::vector<unsigned char> received(100 * 2352 + 1);
    EXPECT_EQ(ReadFull(pipe.readEnd.Get(), received.data(), received.size()), 100 * 2352);
    writer.join();
    EXPECT_EQ(received[0], 0);
    EXPECT_EQ(received[99 * 2352], 99);
    char more;
    EXPECT_EQ(ReadSome(pipe.readEnd.Get(), &more, 1), 0);
}

TEST(Pipe, WritingAfterTheReaderLeftFailsWithEpipeInsteadOfKillingTheProcess)
{
    Pipe pipe;
    pipe.readEnd.Reset();
    const char byte = 1;
    EXPECT_FALSE(WriteAll(pipe.writeEnd.Get(), &byte, 1));
    EXPECT_EQ(errno, EPIPE);
}

TEST(Pipe, AnOversizedHintIsCappedNotRefused)
{
    Pipe pipe(1u << 30);
    ASSERT_TRUE(pipe.Valid());
    EXPECT_LE(static_cast<std::size_t>(::fcntl(pipe.writeEnd.Get(), F_GETPIPE_SZ)), MaximumPipeSize());
}

}  // namespace
}  // namespace tesslow
