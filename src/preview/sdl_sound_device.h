#pragma once

#include "preview/sound_device.h"

#include <memory>
#include <string>

namespace tesslow {

// The format the SDL output plays: 44100 Hz, 16-bit stereo, as CD audio is.
// Buffers in another format are refused.
inline constexpr PcmFormat kSdlOutputFormat{44100, 2, 16, false};

// Opens an SDL audio device (the default when `deviceName` is empty) that
// plays from the moment it opens, mixing its playing buffers in its audio
// callback and playing silence where none plays. nullptr when SDL's audio
// cannot start or no device opens. SDL's audio subsystem is started with the
// first open device and stopped with the last, so SDL_AUDIODRIVER and a sound
// server that came back are read again at the next open.
//
// A device that SDL reports disconnected marks its buffers lost; Restore
// reopens it. Safe to call from any thread.
std::shared_ptr<SoundDevice> OpenSdlSoundDevice(const std::string& deviceName = {});

// True when an SDL audio device opens now (it is closed again at once): the
// check that sound output exists at all before a preview starts.
bool SdlSoundAvailable();

}  // namespace tesslow
