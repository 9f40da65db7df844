// IUnknown and IClassFactory, the two interfaces every COM object and class object has, with
// their Windows identifiers, and the link from an interface type to its identifier that
// ComPtr::As and IID_PPV_ARGS use (declare it with TKV_DECLARE_IID after an interface).
//
// Rules as on Windows: QueryInterface hands out an AddRef'ed pointer or sets *object to null
// and returns E_NOINTERFACE; Release destroys the object when the count reaches 0. The
// destructor is virtual so that implementations may `delete this` through any base, and
// protected so that users release instead of deleting.
#pragma once

#include <type_traits>

#include "platform/com/ComErrors.h"
#include "platform/com/Guid.h"

#define STDMETHODCALLTYPE
#define STDMETHOD(method) virtual HRESULT method
#define STDMETHOD_(type, method) virtual type method
#define STDMETHODIMP HRESULT
#define STDMETHODIMP_(type) type
#define STDAPI extern "C" HRESULT
#define STDAPI_(type) extern "C" type
#define PURE = 0

DEFINE_GUID(IID_IUnknown, 0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
            0x46);
DEFINE_GUID(IID_IClassFactory, 0x00000001, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
            0x46);

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};
using LPUNKNOWN = IUnknown*;

struct IClassFactory : public IUnknown {
    // `outer` is the controlling object when aggregating; classes that cannot be aggregated
    // answer CLASS_E_NOAGGREGATION.
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;
    virtual HRESULT LockServer(BOOL lock) = 0;
};
using LPCLASSFACTORY = IClassFactory*;

// Specialised by TKV_DECLARE_IID; an interface without it cannot be used with IidOf.
template <typename Interface>
struct InterfaceIid;

#define TKV_DECLARE_IID(Interface, iid)          \
    template <>                                  \
    struct InterfaceIid<Interface> {             \
        static constexpr const IID& value = iid; \
    }

template <typename Interface>
constexpr const IID& IidOf() {
    return InterfaceIid<std::remove_cv_t<Interface>>::value;
}

TKV_DECLARE_IID(IUnknown, IID_IUnknown);
TKV_DECLARE_IID(IClassFactory, IID_IClassFactory);

// QueryInterface(IID_PPV_ARGS(&pointer)) passes the identifier and the out pointer together.
template <typename Interface>
void** IID_PPV_ARGS_Helper(Interface** pointer) {
    static_assert(std::is_base_of_v<IUnknown, Interface>, "a COM interface");
    return reinterpret_cast<void**>(pointer);
}
#define IID_PPV_ARGS(pointer)                                                 \
    IidOf<std::remove_pointer_t<std::remove_pointer_t<decltype(pointer)>>>(), \
        IID_PPV_ARGS_Helper(pointer)
