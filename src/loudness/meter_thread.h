#pragma once

#include "loudness/replay_gain.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tesslow {

// Measures tracks with ReplayGainMeters on a thread of its own, so that
// measuring costs the thread that encodes them only a copy of each block:
// the two run side by side on two cores. One thread serves a whole rip.
//
// Start begins a track (dropping what is left of an unfinished one); Add
// queues a copy of a block of its audio, waiting for room when many blocks
// wait (the meter is the slower), so memory stays bounded; Finish waits until
// every queued block is measured and hands over the track's meter. The
// destructor drops what is queued and joins the thread. The constructor
// throws std::system_error when no thread can be started; Start throws
// std::bad_alloc. Every call is for one thread, the owner's.
class ReplayGainMeterThread {
public:
    ReplayGainMeterThread();
    ~ReplayGainMeterThread();
    ReplayGainMeterThread(const ReplayGainMeterThread&) = delete;
    ReplayGainMeterThread& operator=(const ReplayGainMeterThread&) = delete;

    void Start();
    void Add(const unsigned char* audio, std::size_t bytes);
    // Nothing when no track was started since the last Finish.
    std::unique_ptr<ReplayGainMeter> Finish();

private:
    void Run();
    // Waits, holding `lock`, until the thread measures nothing.
    void WaitIdle(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable changed_;
    // All under mutex_. The thread measures one block at a time outside the
    // lock, with `busy_` set: the meter is not touched by the owner then.
    std::unique_ptr<ReplayGainMeter> meter_;
    std::deque<std::vector<unsigned char>> queued_;
    std::vector<std::vector<unsigned char>> spare_;  // measured blocks, for reuse
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace tesslow
