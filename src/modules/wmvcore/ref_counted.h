#pragma once

#include "modules/wmvcore/wmvcore.h"

#include <atomic>

namespace wmvcore {

// The reference counting of the module's objects: Interface is the object's
// main interface. QueryInterface answers IUnknown with the object itself and
// any other id with what Extra() gives. The object is deleted by its last
// Release. Starts with one reference, the creator's.
template <typename Interface>
class RefCounted : public Interface {
public:
    DWORD AddRef() override { return ++references_; }
    DWORD Release() override
    {
        const DWORD left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT QueryInterface(const GUID& iid, void** object) override
    {
        if (!object) return E_INVALIDARG;
        if (iid == IID_IUnknown) {
            AddRef();
            *object = static_cast<IUnknown*>(this);
            return S_OK;
        }
        *object = Extra(iid);
        return *object ? S_OK : E_NOINTERFACE;
    }

protected:
    // The interface for iid, holding a reference for the caller (often a
    // companion object that shares this one's state), or null.
    virtual void* Extra(const GUID&) { return nullptr; }

private:
    std::atomic<DWORD> references_{1};
};

}  // namespace wmvcore
