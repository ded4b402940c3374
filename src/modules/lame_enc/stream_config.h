#pragma once

#include "modules/lame_enc/lame_enc.h"

#include <lame.h>

namespace tesslow {

// Applies a BladeEnc-style configuration record to a fresh libmp3lame context
// and initialises it (lame_init_params). Returns BE_ERR_SUCCESSFUL, or
// BE_ERR_INVALID_FORMAT for a record that is not the LAME form, or
// BE_ERR_INVALID_FORMAT_PARAMETERS for values the module or the library
// refuses; the context is then unusable and the caller closes it.
//
// The context never writes ID3 tags of its own and never prints: the caller
// owns the file layout around the audio.
BE_ERR ConfigureStream(lame_t lame, const BE_CONFIG& config);

}  // namespace tesslow
