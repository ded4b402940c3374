#pragma once

#include "modules/wmvcore/wmvcore.h"

#include <utility>

namespace wmvcore {

// Holds one reference to a wmvcore object and releases it when it goes.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        Reset();
        object_ = std::exchange(other.object_, nullptr);
        return *this;
    }
    ~ComPtr() { Reset(); }

    // Takes over a reference the caller already holds.
    static ComPtr Adopt(T* object)
    {
        ComPtr held;
        held.object_ = object;
        return held;
    }

    void Reset()
    {
        if (object_) std::exchange(object_, nullptr)->Release();
    }
    T* Get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // For out-parameters: releases what is held and answers where to put the new one.
    T** Out()
    {
        Reset();
        return &object_;
    }

    // Asks the object for another of its interfaces.
    template <typename U>
    HRESULT As(const GUID& iid, ComPtr<U>& other) const
    {
        return object_->QueryInterface(iid, reinterpret_cast<void**>(other.Out()));
    }

private:
    T* object_ = nullptr;
};

}  // namespace wmvcore
