#pragma once

#include "preview/output.h"
#include "preview/sound_buffer.h"

#include <vector>

namespace tesslow {

// The device-independent half of an output: keeps the pending chunk and
// feeds it to the device operations of the derived class, opening a stream
// for the chunk's format and letting the old one drain when the format
// changes.
class output_i_base : public output {
public:
    double get_latency() override;
    int process_samples(const audio_chunk& chunk, bool isFloat) override;
    int update() override;

protected:
    // The derived output's stream was closed (flushed or stopped).
    void MarkClosed() { streamOpen_ = false; }
    // A flush also drops what was not yet handed to the stream, so that no
    // new stream opens for it afterwards.
    void DropPending() { pendingWritten_ = pending_.size(); }

private:
    std::vector<std::uint8_t> pending_;
    std::size_t pendingWritten_ = 0;
    PcmFormat pendingFormat_;
    bool streamOpen_ = false;
    PcmFormat openFormat_;
};

}  // namespace tesslow
