#pragma once

#include "preview/sound_buffer.h"

#include <functional>
#include <memory>
#include <string>

namespace tesslow {

// The system's audio output as the stream service sees it: it makes looping
// secondary buffers and plays every buffer that is playing, mixed. Its buffers
// may outlive it; they are then silent and report themselves lost.
//
// Called by one thread at a time (the stream service, under its lock); the
// device's own playing happens on a thread of its own.
class SoundDevice {
public:
    virtual ~SoundDevice() = default;

    // A new silent buffer of `bytes` bytes in `format`, stopped, cursor at 0,
    // at full volume; nullptr when the device cannot play that format.
    virtual std::shared_ptr<SoundBuffer> CreateSoundBuffer(const PcmFormat& format, std::size_t bytes) = 0;

    // Called about every 10 ms: notices a device that went away and marks its
    // buffers lost.
    virtual void Service() {}
};

// Opens the audio output named `deviceName` (empty: the default one); nullptr
// when none opens. The stand-in for creating the DirectSound object.
using SoundDeviceOpener = std::function<std::shared_ptr<SoundDevice>(const std::string& deviceName)>;

}  // namespace tesslow
