#include "preview/sdl_sound_device.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace tesslow {
namespace {

// SDL's audio start, stop, open and close are not made for concurrent calls.
std::mutex& SdlAudioMutex()
{
    static std::mutex mutex;
    return mutex;
}

// SDL keeps per-thread state (its error text) that it frees only for threads
// it made itself; the threads here are the program's, so each call into SDL
// lets go of that state when it is done.
struct SdlThreadStateRelease {
    ~SdlThreadStateRelease() { SDL_TLSCleanup(); }
};

// One started audio subsystem and one open device. Call with SdlAudioMutex held.
class SdlOpenDevice {
public:
    SdlOpenDevice(const std::string& name, SDL_AudioCallback callback, void* user)
    {
        // The program handles its own signals; SDL must not turn Ctrl-C into
        // an event nobody reads.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
        started_ = true;
        SDL_EventState(SDL_AUDIODEVICEADDED, SDL_IGNORE);
        SDL_EventState(SDL_AUDIODEVICEREMOVED, SDL_IGNORE);
        SDL_AudioSpec wanted{};
        wanted.freq = static_cast<int>(kSdlOutputFormat.rate);
        wanted.format = AUDIO_S16SYS;
        wanted.channels = static_cast<Uint8>(kSdlOutputFormat.channels);
        wanted.samples = 1024;  // about 23 ms a callback
        wanted.callback = callback;
        wanted.userdata = user;
        SDL_AudioSpec obtained{};
        // No format changes allowed: SDL converts to whatever the hardware takes.
        id_ = SDL_OpenAudioDevice(name.empty() ? nullptr : name.c_str(), 0, &wanted, &obtained, 0);
        if (id_ != 0) SDL_PauseAudioDevice(id_, 0);
    }

    ~SdlOpenDevice()
    {
        if (id_ != 0) SDL_CloseAudioDevice(id_);  // waits for a running callback
        if (started_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    SdlOpenDevice(const SdlOpenDevice&) = delete;
    SdlOpenDevice& operator=(const SdlOpenDevice&) = delete;

    bool Open() const { return id_ != 0; }
    bool Disconnected() const { return id_ != 0 && SDL_GetAudioDeviceStatus(id_) == SDL_AUDIO_STOPPED; }

private:
    bool started_ = false;
    SDL_AudioDeviceID id_ = 0;
};

class SdlSoundDevice final : public SoundDevice, public std::enable_shared_from_this<SdlSoundDevice> {
public:
    explicit SdlSoundDevice(std::string name) : name_(std::move(name)) {}

    ~SdlSoundDevice() override
    {
        SdlThreadStateRelease release;
        std::lock_guard sdl(SdlAudioMutex());
        open_.reset();
    }

    bool Start()
    {
        SdlThreadStateRelease release;
        std::lock_guard sdl(SdlAudioMutex());
        open_ = std::make_unique<SdlOpenDevice>(name_, &SdlSoundDevice::Callback, this);
        if (!open_->Open()) open_.reset();
        return open_ != nullptr;
    }

    std::shared_ptr<SoundBuffer> CreateSoundBuffer(const PcmFormat& format, std::size_t bytes) override
    {
        if (!(format == kSdlOutputFormat) || bytes == 0) return nullptr;
        std::weak_ptr<SdlSoundDevice> self = weak_from_this();
        auto buffer = std::make_shared<SoundBuffer>(format, bytes, [self] {
            const auto device = self.lock();
            return device && device->Reopen();
        });
        std::lock_guard lock(buffersMutex_);
        buffers_.push_back(buffer);
        return buffer;
    }

    void Service() override
    {
        bool gone;
        {
            SdlThreadStateRelease release;
            std::lock_guard sdl(SdlAudioMutex());
            gone = !open_ || open_->Disconnected();
        }
        if (!gone) return;
        std::lock_guard lock(buffersMutex_);
        for (const auto& weak : buffers_) {
            if (const auto buffer = weak.lock()) buffer->MarkLost();
        }
    }

private:
    // Closes the device that went away and opens it again.
    bool Reopen()
    {
        SdlThreadStateRelease release;
        std::lock_guard sdl(SdlAudioMutex());
        if (open_ && !open_->Disconnected()) return true;
        open_.reset();
        open_ = std::make_unique<SdlOpenDevice>(name_, &SdlSoundDevice::Callback, this);
        if (!open_->Open()) open_.reset();
        return open_ != nullptr;
    }

    static void SDLCALL Callback(void* user, Uint8* stream, int length)
    {
        auto* self = static_cast<SdlSoundDevice*>(user);
        std::memset(stream, 0, static_cast<std::size_t>(length));
        auto* samples = reinterpret_cast<std::int16_t*>(stream);
        const std::size_t frames = static_cast<std::size_t>(length) / kSdlOutputFormat.BlockAlign();
        std::lock_guard lock(self->buffersMutex_);
        std::erase_if(self->buffers_, [&](const std::weak_ptr<SoundBuffer>& weak) {
            const auto buffer = weak.lock();
            if (!buffer) return true;
            buffer->MixInto(samples, frames);
            return false;
        });
    }

    const std::string name_;
    std::unique_ptr<SdlOpenDevice> open_;  // guarded by SdlAudioMutex
    std::mutex buffersMutex_;              // taken by the callback, then a buffer's own
    std::vector<std::weak_ptr<SoundBuffer>> buffers_;
};

}  // namespace

std::shared_ptr<SoundDevice> OpenSdlSoundDevice(const std::string& deviceName)
{
    auto device = std::make_shared<SdlSoundDevice>(deviceName);
    if (!device->Start()) return nullptr;
    return device;
}

bool SdlSoundAvailable()
{
    SdlThreadStateRelease release;
    std::lock_guard sdl(SdlAudioMutex());
    SdlOpenDevice probe({}, [](void*, Uint8* stream, int length) { std::memset(stream, 0, static_cast<std::size_t>(length)); },
                        nullptr);
    return probe.Open();
}

}  // namespace tesslow
