// ComPtr<T>: owns one reference to a COM interface, released when it goes, in the manner of
// Microsoft's WRL ComPtr. Copying adds a reference, moving transfers it. Attach takes over a
// reference the caller owns; Detach hands it back. As<U> asks for another interface through
// QueryInterface (U needs TKV_DECLARE_IID).
//
//   ComPtr<IClassFactory> factory;
//   CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
//                    reinterpret_cast<void**>(factory.ReleaseAndGetAddressOf()));
//   ComPtr<IUnknown> unknown;
//   if (SUCCEEDED(factory.As(&unknown))) ...
//
// Threading: like a raw pointer; one object per thread, or external locking.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

#include "platform/com/Unknown.h"

template <typename T>
class ComPtr {
public:
    using InterfaceType = T;

    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    ComPtr(U* other) noexcept : m_ptr(other) {
        InternalAddRef();
    }
    ComPtr(const ComPtr& other) noexcept : m_ptr(other.m_ptr) { InternalAddRef(); }
    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    ComPtr(const ComPtr<U>& other) noexcept : m_ptr(other.Get()) {
        InternalAddRef();
    }
    ComPtr(ComPtr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    ComPtr(ComPtr<U>&& other) noexcept : m_ptr(other.Detach()) {}
    ~ComPtr() { InternalRelease(); }

    ComPtr& operator=(std::nullptr_t) noexcept {
        InternalRelease();
        return *this;
    }
    ComPtr& operator=(T* other) noexcept {
        ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr& operator=(const ComPtr& other) noexcept {
        ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr(std::move(other)).Swap(*this);
        return *this;
    }
    template <typename U>
    ComPtr& operator=(const ComPtr<U>& other) noexcept {
        ComPtr(other).Swap(*this);
        return *this;
    }
    template <typename U>
    ComPtr& operator=(ComPtr<U>&& other) noexcept {
        ComPtr(std::move(other)).Swap(*this);
        return *this;
    }

    void Swap(ComPtr& other) noexcept { std::swap(m_ptr, other.m_ptr); }
    explicit operator bool() const noexcept { return m_ptr != nullptr; }
    T* Get() const noexcept { return m_ptr; }
    T* operator->() const noexcept { return m_ptr; }

    // The address of the pointer, for an out parameter that must start out null.
    T* const* GetAddressOf() const noexcept { return &m_ptr; }
    T** GetAddressOf() noexcept { return &m_ptr; }
    T** ReleaseAndGetAddressOf() noexcept {
        InternalRelease();
        return &m_ptr;
    }

    // Takes over the caller's reference to `other`, releasing the one held before.
    void Attach(T* other) noexcept {
        InternalRelease();
        m_ptr = other;
    }
    T* Detach() noexcept { return std::exchange(m_ptr, nullptr); }
    // Releases the pointer; returns the count Release gave (0 when none was held).
    ULONG Reset() noexcept { return InternalRelease(); }

    HRESULT CopyTo(T** out) const noexcept {
        if (!out) return E_POINTER;
        InternalAddRef();
        *out = m_ptr;
        return S_OK;
    }
    HRESULT CopyTo(REFIID iid, void** out) const noexcept {
        if (!out) return E_POINTER;
        *out = nullptr;
        return m_ptr ? m_ptr->QueryInterface(iid, out) : E_POINTER;
    }

    template <typename U>
    HRESULT As(ComPtr<U>* out) const noexcept {
        return AsIID(IidOf<U>(), out);
    }
    // `out` receives the interface `iid`; U must be the type that identifier names.
    template <typename U>
    HRESULT AsIID(REFIID iid, ComPtr<U>* out) const noexcept {
        if (!out) return E_POINTER;
        void* raw = nullptr;
        const HRESULT hr = m_ptr ? m_ptr->QueryInterface(iid, &raw) : E_POINTER;
        out->Attach(SUCCEEDED(hr) ? static_cast<U*>(raw) : nullptr);
        return hr;
    }

private:
    void InternalAddRef() const noexcept {
        if (m_ptr) m_ptr->AddRef();
    }
    ULONG InternalRelease() noexcept {
        T* held = std::exchange(m_ptr, nullptr);
        return held ? held->Release() : 0;
    }

    T* m_ptr = nullptr;
};

template <typename T, typename U>
bool operator==(const ComPtr<T>& a, const ComPtr<U>& b) noexcept {
    return a.Get() == b.Get();
}
template <typename T>
bool operator==(const ComPtr<T>& a, std::nullptr_t) noexcept {
    return a.Get() == nullptr;
}
