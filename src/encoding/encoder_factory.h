#pragma once

#include "encoding/encoder.h"

#include <memory>
#include <string>

namespace tesslow {

// Creates the encoder for request.format, which creates its output file
// (asking about an existing one first), and sets it up for 44100 Hz, 2
// channels, 16 bits, with the disc's tags and the track index (WAV takes no
// tags). Throws EncoderException: "encoder not available" for a format code
// without an encoder, or whatever the encoder's constructor throws.
std::unique_ptr<Encoder> CreateEncoder(const EncoderRequest& request);

// ".wav", ".mp3", ".wma", ".ogg", ".ape", ".flac"; EncoderException
// "unknown target format" for an invalid code.
std::string TargetExtension(FormatCode format);

}  // namespace tesslow
