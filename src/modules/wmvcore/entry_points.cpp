// The module's two exported entry points.
#include "modules/wmvcore/profile.h"
#include "modules/wmvcore/writer.h"

#include <new>

extern "C" {

__attribute__((visibility("default"))) wmvcore::HRESULT WMCreateWriter(wmvcore::IUnknown*,
                                                                       wmvcore::IWMWriter** writer)
{
    if (!writer) return wmvcore::E_INVALIDARG;
    *writer = new (std::nothrow) wmvcore::Writer;
    return *writer ? wmvcore::S_OK : wmvcore::E_OUTOFMEMORY;
}

__attribute__((visibility("default"))) wmvcore::HRESULT WMCreateProfileManager(
    wmvcore::IWMProfileManager** manager)
{
    if (!manager) return wmvcore::E_INVALIDARG;
    *manager = new (std::nothrow) wmvcore::ProfileManager;
    return *manager ? wmvcore::S_OK : wmvcore::E_OUTOFMEMORY;
}
}
