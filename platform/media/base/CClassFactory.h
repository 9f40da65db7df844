// CClassFactory: the IClassFactory of one CFactoryTemplate. CreateInstance refuses an outer
// object (CLASS_E_NOAGGREGATION), makes the object and hands out the interface asked for;
// LockServer counts server locks process-wide. CanUnloadNow answers a server's DllCanUnloadNow:
// S_OK when no framework object (CUnknown, factories included) and no lock is left.
//
// GetClassObject serves DllGetClassObject from a table; RegisterBuiltIn makes the table's
// classes creatable with CoCreateInstance in this process.
// Threading: any thread.
#pragma once

#include <atomic>

#include "platform/media/base/CFactoryTemplate.h"
#include "platform/media/base/CUnknown.h"

class CClassFactory : public CUnknown, public IClassFactory {
public:
    explicit CClassFactory(const CFactoryTemplate* factory_template);
    ~CClassFactory() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT LockServer(BOOL lock) override;

    static bool IsLocked();
    // S_OK when nothing is left to serve, S_FALSE otherwise.
    static HRESULT CanUnloadNow();

    // A new factory for the template whose class is `clsid`: only IUnknown and
    // IClassFactory are handed out (E_NOINTERFACE), an unknown class gives
    // CLASS_E_CLASSNOTAVAILABLE, a factory that cannot be made E_OUTOFMEMORY.
    static HRESULT GetClassObject(const CFactoryTemplate* templates, int count, REFCLSID clsid,
                                  REFIID iid, void** object);
    // Registers every class of the table with the platform's built-in classes. The table
    // must outlive the registration (static data).
    static void RegisterBuiltIn(const CFactoryTemplate* templates, int count);

private:
    const CFactoryTemplate* const m_template;
};
