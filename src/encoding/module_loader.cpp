#include "encoding/module_loader.h"

#include <dlfcn.h>

namespace tesslow {

void ModuleCloser::operator()(void* handle) const { ::dlclose(handle); }

ModuleHandle OpenModule(const std::string& folder, const char* name)
{
    if (folder.empty()) return nullptr;
    std::string path = folder;
    if (path.back() != '/') path += '/';
    path += name;
    return ModuleHandle(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
}

void* ResolveSymbol(void* module, const char* name) { return ::dlsym(module, name); }

}  // namespace tesslow
