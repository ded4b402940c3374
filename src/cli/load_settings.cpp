#include "cli/load_settings.h"

#include "cli/printable.h"

#include <cstdio>

namespace tesslow {

Settings LoadSettings()
{
    Settings settings;
    if (!settings.keptAsideStore.empty())
        std::fprintf(stderr, "tesslow-rip: %s\n", Printable(StoreKeptAsideNotice(settings.keptAsideStore)).c_str());
    return settings;
}

}  // namespace tesslow
