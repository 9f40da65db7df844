// A moniker for one registered filter, as the mapper's EnumMatchingFilters hands them out:
// BindToObject creates the filter's class. There is no property storage to bind to here.
// Order of use: Create, BindToObject, Release.
// Threading: any thread (it holds only the class identifier).
#pragma once

#include <atomic>

#include "platform/media/objidl.h"

class FilterMoniker : public IMoniker {
public:
    static HRESULT Create(REFCLSID clsid, IMoniker** moniker);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT BindToObject(IBindCtx* context, IMoniker* left, REFIID iid, void** object) override;
    HRESULT BindToStorage(IBindCtx* context, IMoniker* left, REFIID iid, void** object) override;

    const CLSID& Clsid() const { return m_clsid; }

private:
    explicit FilterMoniker(REFCLSID clsid) : m_clsid(clsid) {}
    ~FilterMoniker() override = default;

    const CLSID m_clsid;
    std::atomic<ULONG> m_references{1};
};
