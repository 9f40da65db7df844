// The OLE object interfaces the media framework refers to: IPersist (a filter's class
// identifier), IPersistStream, the moniker pair a filter mapper hands out, and IDispatch as
// the base type of automation parameters. Only what the framework needs is declared: the
// monikers offer binding, nothing else.
// Threading: as each implementation states; these declarations hold no state.
#pragma once

#include "platform/com/ComErrors.h"
#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"
#include "platform/com/WideChar.h"
#include "platform/media/wtypes.h"

inline constexpr GUID IID_IPersist = MakeGuid("0000010C-0000-0000-C000-000000000046");
inline constexpr GUID IID_IPersistStream = MakeGuid("00000109-0000-0000-C000-000000000046");
inline constexpr GUID IID_IMoniker = MakeGuid("0000000F-0000-0000-C000-000000000046");
inline constexpr GUID IID_IEnumMoniker = MakeGuid("00000102-0000-0000-C000-000000000046");
inline constexpr GUID IID_IBindCtx = MakeGuid("0000000E-0000-0000-C000-000000000046");
inline constexpr GUID IID_IStream = MakeGuid("0000000C-0000-0000-C000-000000000046");
inline constexpr GUID IID_IDispatch = MakeGuid("00020400-0000-0000-C000-000000000046");

// Opaque here: nothing in the framework reads or writes through them.
struct IBindCtx;
struct IStream;

struct ULARGE_INTEGER {
    ULONGLONG QuadPart;
};

struct IPersist : public IUnknown {
    virtual HRESULT GetClassID(CLSID* class_id) = 0;
};

struct IPersistStream : public IPersist {
    // S_OK when the object changed since it was last saved, S_FALSE otherwise.
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT Load(IStream* stream) = 0;
    virtual HRESULT Save(IStream* stream, BOOL clear_dirty) = 0;
    virtual HRESULT GetSizeMax(ULARGE_INTEGER* size) = 0;
};

struct IMoniker : public IUnknown {
    virtual HRESULT BindToObject(IBindCtx* context, IMoniker* left, REFIID iid, void** object) = 0;
    virtual HRESULT BindToStorage(IBindCtx* context, IMoniker* left, REFIID iid, void** object) = 0;
};

struct IEnumMoniker : public IUnknown {
    virtual HRESULT Next(ULONG count, IMoniker** monikers, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumMoniker** clone) = 0;
};

// Automation objects are plain IUnknown-derived interfaces here; this type only keeps the
// parameter types of the automation methods.
struct IDispatch : public IUnknown {};

TKV_DECLARE_IID(IPersist, IID_IPersist);
TKV_DECLARE_IID(IPersistStream, IID_IPersistStream);
TKV_DECLARE_IID(IMoniker, IID_IMoniker);
TKV_DECLARE_IID(IEnumMoniker, IID_IEnumMoniker);
TKV_DECLARE_IID(IDispatch, IID_IDispatch);
