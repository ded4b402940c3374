#pragma once

#include "modules/lame_enc/lame_enc.h"

#include <string>

namespace tesslow {

// The entry points of the lame_enc module, process-wide.
struct LameEncLibrary {
    BE_INIT_STREAM InitStream = nullptr;
    BE_ENCODE_CHUNK EncodeChunk = nullptr;
    BE_DEINIT_STREAM DeinitStream = nullptr;
    BE_CLOSE_STREAM CloseStream = nullptr;
    BE_WRITE_INFO_TAG WriteInfoTag = nullptr;
    BE_WRITE_INFO_TAG_W WriteInfoTagW = nullptr;  // optional: null when the module lacks it
};

// Loads lame_enc.so from `moduleFolder` (the AppPath setting) and resolves
// its entry points. A complete module is loaded once and stays loaded until
// the process ends; the returned entry points stay valid that long, and later
// calls answer them whatever folder they name. Until then every call tries
// again, so a missing or broken module is reported for every file and a
// repaired one is picked up. An empty folder counts as not installed (a bare
// name would make the loader search the system's library folders).
//
// Throws EncoderException "MP3 libraries are not installed" when the module
// cannot be loaded, "MP3 libraries are broken" when one of the five required
// entry points is missing (the module is then unloaded again). Safe to call
// from any thread.
const LameEncLibrary& LoadLameEnc(const std::string& moduleFolder);

}  // namespace tesslow
