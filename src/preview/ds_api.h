#pragma once

#include "preview/ds_stream.h"

#include <memory>
#include <optional>
#include <string>

namespace tesslow {

// The audio device wrapper: makes streams and runs the service thread that
// feeds them. Thread-safe.
class ds_api {
public:
    virtual ~ds_api() = default;

    // A new stream, served from the next service run on; starts the service
    // thread when it is not running.
    virtual std::shared_ptr<ds_stream> create_stream(const ds_stream_params& params) = 0;
    // The device to open the next time the service thread starts; none is
    // the default device.
    virtual void set_device(const std::optional<std::string>& deviceName) = 0;
    // Ends the service thread and lets go of every stream and of the device.
    // With `wait`, first lets streams that are fading out to a stop finish
    // (at most 10 s). The wrapper can be used again afterwards.
    virtual void release(bool wait) = 0;
};

}  // namespace tesslow
