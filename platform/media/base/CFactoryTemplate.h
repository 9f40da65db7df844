// CFactoryTemplate: one line of a server's class table: the class's name and identifier, the
// function that makes an object, an optional start/stop routine and the filter's setup record.
//
//   CUnknown* CreateMine(LPUNKNOWN outer, HRESULT* hr);  // outer is always null here
//   const CFactoryTemplate kTemplates[] = {
//       {u"Mine", &CLSID_Mine, CreateMine, nullptr, &kMineSetup}};
//
// CClassFactory serves objects from such a table. The table is static data: any thread.
#pragma once

#include "platform/com/Guid.h"
#include "platform/media/base/AMovieSetup.h"
#include "platform/media/base/CUnknown.h"

// Makes an object with no reference yet, or returns null; *hr may carry a failure.
using LPFNNewCOMObject = CUnknown* (*)(LPUNKNOWN outer, HRESULT* hr);
// Called with TRUE when the server starts and FALSE when it stops.
using LPFNInitRoutine = void (*)(BOOL loading, const CLSID* clsid);

struct CFactoryTemplate {
    const WCHAR* m_Name;
    const CLSID* m_ClsID;
    LPFNNewCOMObject m_lpfnNew;
    LPFNInitRoutine m_lpfnInit;
    const AMOVIESETUP_FILTER* m_pAMovieSetup_Filter;

    bool IsClassID(REFCLSID clsid) const { return m_ClsID && IsEqualCLSID(*m_ClsID, clsid); }
    CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* hr) const {
        return m_lpfnNew ? m_lpfnNew(outer, hr) : nullptr;
    }
};
