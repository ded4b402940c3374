#include "preview/ds_api_i.h"

#include "preview/ds_stream_i.h"
#include "preview/sdl_sound_device.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace tesslow {
namespace {

// The service thread runs ahead of everything else where the system lets it:
// real-time first, else a better nice value; an unprivileged process gets
// neither and runs at normal priority.
void RaiseServicePriority()
{
    sched_param param{};
    param.sched_priority = sched_get_priority_min(SCHED_FIFO);
    if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0) return;
    (void)setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), -10);
}

}  // namespace

ds_api_i::ds_api_i(SoundDeviceOpener openDevice)
    : openDevice_(std::move(openDevice)), section_(std::make_shared<std::mutex>())
{
}

ds_api_i::~ds_api_i()
{
    release(false);
}

std::shared_ptr<ds_stream> ds_api_i::create_stream(const ds_stream_params& params)
{
    auto stream = std::make_shared<ds_stream_i>(params, section_);
    std::lock_guard threadLock(threadMutex_);
    std::lock_guard lock(*section_);
    streams_.push_back(stream);
    if (!running_) {
        exit_ = false;
        running_ = true;
        std::thread([this] { Serve(); }).detach();
    }
    return stream;
}

void ds_api_i::set_device(const std::optional<std::string>& deviceName)
{
    std::lock_guard lock(*section_);
    deviceName_ = deviceName.value_or(std::string());
}

bool ds_api_i::AnyFadingOut()
{
    std::lock_guard lock(*section_);
    if (!running_) return false;
    for (const auto& stream : streams_) {
        if (stream->fading_to_stop()) return true;
    }
    return false;
}

void ds_api_i::release(bool wait)
{
    if (wait) {
        const auto start = std::chrono::steady_clock::now();
        while (AnyFadingOut() && std::chrono::steady_clock::now() - start < std::chrono::milliseconds(10000)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    std::lock_guard threadLock(threadMutex_);
    exit_ = true;
    std::unique_lock lock(*section_);
    ended_.wait(lock, [this] { return !running_; });
    for (const auto& stream : streams_) stream->destroy_buffer();
    streams_.clear();
    exit_ = false;
}

void ds_api_i::Serve()
{
    // Its own hold on the lock: the wrapper may be gone the moment the
    // thread has said it ended and lets go of the lock.
    const std::shared_ptr<std::mutex> section = section_;
    RaiseServicePriority();
    {
        std::lock_guard lock(*section);
        device_ = openDevice_(deviceName_);
        if (!device_) {
            // No device: every stream fails, so that its producer hears of it.
            for (const auto& stream : streams_) stream->mark_failed();
            streams_.clear();
            running_ = false;
            ended_.notify_all();
            return;
        }
    }
    while (!exit_) {
        {
            std::lock_guard lock(*section);
            device_->Service();
            bool removed = false;
            std::erase_if(streams_, [&](const std::shared_ptr<ds_stream_i>& stream) {
                if (stream->service(*device_)) return false;
                stream->destroy_buffer();
                removed = true;
                return true;
            });
            if (removed && streams_.empty()) {
                device_.reset();
                running_ = false;
                ended_.notify_all();
                return;
            }
        }
        if (exit_) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::lock_guard lock(*section);
    device_.reset();
    running_ = false;
    ended_.notify_all();
}

ds_api& ProcessSoundDevice()
{
    // Made once and never destroyed: streams and the service thread may still
    // be winding down while the process exits.
    static ds_api_i* const api = new ds_api_i([](const std::string& name) { return OpenSdlSoundDevice(name); });
    return *api;
}

}  // namespace tesslow
