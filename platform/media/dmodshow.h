// The DMO wrapper filter (CLSID_DMOWrapperFilter): a filter that hosts one media object,
// chosen with Init before the filter joins a graph.
// Threading: Init on the thread that created the filter, before any other call.
#pragma once

#include "platform/com/ComErrors.h"
#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"

inline constexpr GUID IID_IDMOWrapperFilter = MakeGuid("52D6F586-9F0F-4824-8FC8-E32CA04930C2");

struct IDMOWrapperFilter : public IUnknown {
    virtual HRESULT Init(REFCLSID dmo, REFCLSID category) = 0;
};

TKV_DECLARE_IID(IDMOWrapperFilter, IID_IDMOWrapperFilter);
