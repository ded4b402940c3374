#include "loudness/meter_thread.h"

namespace tesslow {

namespace {

// Blocks waiting at most (the rip worker gives 26 sectors at a time, 61 KB).
constexpr std::size_t kMostQueued = 16;

}  // namespace

ReplayGainMeterThread::ReplayGainMeterThread() : thread_([this] { Run(); }) {}

ReplayGainMeterThread::~ReplayGainMeterThread()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        queued_.clear();
    }
    changed_.notify_all();
    thread_.join();
}

void ReplayGainMeterThread::WaitIdle(std::unique_lock<std::mutex>& lock)
{
    changed_.wait(lock, [this] { return queued_.empty() && !busy_; });
}

void ReplayGainMeterThread::Start()
{
    auto meter = std::make_unique<ReplayGainMeter>();
    std::unique_lock lock(mutex_);
    for (auto& block : queued_) spare_.push_back(std::move(block));
    queued_.clear();
    WaitIdle(lock);
    meter_ = std::move(meter);
}

void ReplayGainMeterThread::Add(const unsigned char* audio, std::size_t bytes)
{
    std::unique_lock lock(mutex_);
    if (!meter_) return;
    changed_.wait(lock, [this] { return queued_.size() < kMostQueued; });
    std::vector<unsigned char> block;
    if (!spare_.empty()) {
        block = std::move(spare_.back());
        spare_.pop_back();
    }
    block.assign(audio, audio + bytes);
    queued_.push_back(std::move(block));
    lock.unlock();
    changed_.notify_all();
}

std::unique_ptr<ReplayGainMeter> ReplayGainMeterThread::Finish()
{
    std::unique_lock lock(mutex_);
    WaitIdle(lock);
    return std::move(meter_);
}

void ReplayGainMeterThread::Run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !queued_.empty() || stopping_; });
        if (stopping_) return;
        std::vector<unsigned char> block = std::move(queued_.front());
        queued_.pop_front();
        busy_ = true;
        ReplayGainMeter* meter = meter_.get();
        lock.unlock();
        changed_.notify_all();  // room for the next block
        meter->Add(block.data(), block.size());
        lock.lock();
        busy_ = false;
        spare_.push_back(std::move(block));
        changed_.notify_all();  // perhaps idle now
    }
}

}  // namespace tesslow
