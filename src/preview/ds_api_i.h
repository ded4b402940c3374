#pragma once

#include "preview/ds_api.h"
#include "preview/sound_device.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace tesslow {

class ds_stream_i;

// The device wrapper over a SoundDevice. Its service thread opens the device
// when it starts, runs every stream's service every 10 ms at raised priority
// where the system allows, destroys the streams that are finished, and ends
// (closing the device) when the last stream is gone. One lock, `section`,
// guards the wrapper and every stream.
class ds_api_i final : public ds_api {
public:
    explicit ds_api_i(SoundDeviceOpener openDevice);
    ~ds_api_i() override;
    ds_api_i(const ds_api_i&) = delete;
    ds_api_i& operator=(const ds_api_i&) = delete;

    std::shared_ptr<ds_stream> create_stream(const ds_stream_params& params) override;
    void set_device(const std::optional<std::string>& deviceName) override;
    void release(bool wait) override;

private:
    void Serve();
    bool AnyFadingOut();

    const SoundDeviceOpener openDevice_;
    const std::shared_ptr<std::mutex> section_;
    std::vector<std::shared_ptr<ds_stream_i>> streams_;  // guarded by section_
    std::string deviceName_;                             // guarded by section_
    std::shared_ptr<SoundDevice> device_;                // service thread only
    // The service thread runs detached: it may end by itself at any time,
    // and it says so through running_ (with ended_), its very last act.
    std::mutex threadMutex_;  // taken before section_ by create_stream and release
    bool running_ = false;    // guarded by section_
    std::condition_variable_any ended_;
    std::atomic<bool> exit_{false};
};

// The process-wide wrapper over SDL's audio output, made on first use and
// never destroyed.
ds_api& ProcessSoundDevice();

}  // namespace tesslow
