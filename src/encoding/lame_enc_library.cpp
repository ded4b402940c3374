#include "encoding/lame_enc_library.h"

#include "encoding/encoder_exception.h"

#include <dlfcn.h>

#include <memory>
#include <mutex>
#include <string>

namespace tesslow {

namespace {

struct ModuleCloser {
    void operator()(void* handle) const { ::dlclose(handle); }
};
using ModuleHandle = std::unique_ptr<void, ModuleCloser>;

template <typename Function>
bool Resolve(void* module, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(::dlsym(module, name));
    return function != nullptr;
}

std::mutex loadMutex;
bool loaded = false;
LameEncLibrary library;

}  // namespace

const LameEncLibrary& LoadLameEnc(const std::string& moduleFolder)
{
    std::lock_guard lock(loadMutex);
    if (loaded) return library;

    std::string path = moduleFolder;
    if (path.empty()) throw EncoderException("MP3 libraries are not installed");
    if (path.back() != '/') path += '/';
    path += LAME_ENC_MODULE_NAME;

    ModuleHandle module(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (!module) throw EncoderException("MP3 libraries are not installed");

    LameEncLibrary found;
    const bool complete = Resolve(module.get(), "beInitStream", found.InitStream) &&
                          Resolve(module.get(), "beEncodeChunk", found.EncodeChunk) &&
                          Resolve(module.get(), "beDeinitStream", found.DeinitStream) &&
                          Resolve(module.get(), "beCloseStream", found.CloseStream) &&
                          Resolve(module.get(), "beWriteInfoTag", found.WriteInfoTag);
    if (!complete) throw EncoderException("MP3 libraries are broken");
    Resolve(module.get(), "beWriteInfoTagW", found.WriteInfoTagW);

    // Kept for the rest of the process: streams and entry points of a loaded
    // module must never outlive it.
    (void)module.release();
    library = found;
    loaded = true;
    return library;
}

}  // namespace tesslow
