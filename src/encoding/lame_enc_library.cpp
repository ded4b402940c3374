#include "encoding/lame_enc_library.h"

#include "encoding/encoder_exception.h"

#include "encoding/module_loader.h"

#include <mutex>
#include <string>

namespace tesslow {

namespace {

std::mutex loadMutex;
bool loaded = false;
LameEncLibrary library;

}  // namespace

const LameEncLibrary& LoadLameEnc(const std::string& moduleFolder)
{
    std::lock_guard lock(loadMutex);
    if (loaded) return library;

    ModuleHandle module = OpenModule(moduleFolder, LAME_ENC_MODULE_NAME);
    if (!module) throw EncoderException("MP3 libraries are not installed");

    LameEncLibrary found;
    const bool complete = ResolveEntry(module.get(), "beInitStream", found.InitStream) &&
                          ResolveEntry(module.get(), "beEncodeChunk", found.EncodeChunk) &&
                          ResolveEntry(module.get(), "beDeinitStream", found.DeinitStream) &&
                          ResolveEntry(module.get(), "beCloseStream", found.CloseStream) &&
                          ResolveEntry(module.get(), "beWriteInfoTag", found.WriteInfoTag);
    if (!complete) throw EncoderException("MP3 libraries are broken");
    ResolveEntry(module.get(), "beWriteInfoTagW", found.WriteInfoTagW);

    // Kept for the rest of the process: streams and entry points of a loaded
    // module must never outlive it.
    (void)module.release();
    library = found;
    loaded = true;
    return library;
}

}  // namespace tesslow
