#include "encoding/wmvcore_library.h"

#include "encoding/encoder_exception.h"
#include "encoding/module_loader.h"

#include <mutex>

namespace tesslow {

namespace {

std::mutex loadMutex;
bool loaded = false;
WmvCoreLibrary library;

}  // namespace

const WmvCoreLibrary& LoadWmvCore(const std::string& moduleFolder)
{
    std::lock_guard lock(loadMutex);
    if (loaded) return library;

    ModuleHandle module = OpenModule(moduleFolder, kWmvCoreModuleName);
    if (!module) throw EncoderException("WMA encoding libraries aren't installed. Please reinstall Parrowind.");
    WmvCoreLibrary found;
    if (!ResolveEntry(module.get(), "WMCreateWriter", found.CreateWriter))
        throw EncoderException("Internal error #1521");
    if (!ResolveEntry(module.get(), "WMCreateProfileManager", found.CreateProfileManager))
        throw EncoderException("Internal error #1522");

    // Kept for the rest of the process: the objects it hands out must never
    // outlive it.
    (void)module.release();
    library = found;
    loaded = true;
    return library;
}

}  // namespace tesslow
