#pragma once

#include "app/settings.h"

namespace tesslow {

// The settings snapshot a command works with. When the settings file could
// not be read and loading had to keep it aside and start a new one, says so
// on standard error, once, and goes on.
Settings LoadSettings();

}  // namespace tesslow
