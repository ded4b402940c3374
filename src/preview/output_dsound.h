#pragma once

#include "preview/ds_api.h"
#include "preview/output_i_base.h"

#include <memory>

namespace tesslow {

// The output over the process's sound device wrapper: one stream at a time,
// 1000 ms queued ahead, stopped with a 0.2 s fade-out; the stream opened after
// such a stop fades in over 0.2 s.
//
// Every operation takes one process-wide output lock first (then the device
// wrapper takes its own: that order, always).
class output_dsound final : public output_i_base {
public:
    // Over `device`, which must outlive the output; the process's device
    // wrapper by default.
    explicit output_dsound(ds_api& device);
    output_dsound();
    ~output_dsound() override;
    output_dsound(const output_dsound&) = delete;
    output_dsound& operator=(const output_dsound&) = delete;

    void pause(bool paused) override;
    void flush() override;
    void force_play() override;
    bool open(std::uint32_t rate, std::uint32_t channels, std::uint32_t bits, int isFloat) override;
    int reserved() override { return 0; }
    std::size_t can_write_bytes() override;
    bool write_bytes(const void* data, std::size_t bytes) override;
    std::size_t get_buffered_bytes() override;
    int stop_with_fade() override;
    bool is_playing() override;
    bool has_failed() override;

private:
    int StopWithFade();

    ds_api& device_;
    std::shared_ptr<ds_stream> stream_;
    bool fadeInNext_ = false;
};

// The fade applied when a preview stops and when the next one starts.
inline constexpr double kPreviewFadeSeconds = 0.2;

}  // namespace tesslow
