#pragma once

#include <memory>
#include <string>

namespace tesslow {

struct ModuleCloser {
    void operator()(void* handle) const;
};
using ModuleHandle = std::unique_ptr<void, ModuleCloser>;

// Loads the module file `name` from `folder` (the AppPath setting), resolving
// every symbol at once and keeping them to itself. Null when it cannot be
// loaded; an empty folder counts as not installed, since a bare name would
// make the loader search the system's library folders.
ModuleHandle OpenModule(const std::string& folder, const char* name);

// The module's symbol `name`, or null.
void* ResolveSymbol(void* module, const char* name);

// The module's entry point `name` as a `Function`; false when it is missing.
template <typename Function>
bool ResolveEntry(void* module, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(ResolveSymbol(module, name));
    return function != nullptr;
}

}  // namespace tesslow
