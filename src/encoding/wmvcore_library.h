#pragma once

#include "modules/wmvcore/wmvcore.h"

#include <string>

namespace tesslow {

inline constexpr const char* kWmvCoreModuleName = "wmvcore.so";

// The entry points of the wmvcore module, process-wide.
struct WmvCoreLibrary {
    WMCreateWriterFunction CreateWriter = nullptr;
    WMCreateProfileManagerFunction CreateProfileManager = nullptr;
};

// Loads wmvcore.so from `moduleFolder` (the AppPath setting) and resolves its
// two entry points. A complete module is loaded once and stays loaded until
// the process ends; later calls answer its entry points whatever folder they
// name. Until then every call tries again, so a missing module is reported
// for every file and a repaired one is picked up.
//
// Throws EncoderException "WMA encoding libraries aren't installed. Please
// reinstall Parrowind." when the module cannot be loaded, "Internal error
// #1521" when WMCreateWriter is missing, "Internal error #1522" when
// WMCreateProfileManager is. Safe to call from any thread.
const WmvCoreLibrary& LoadWmvCore(const std::string& moduleFolder);

}  // namespace tesslow
