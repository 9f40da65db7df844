// The program's COM server entry points for "Tarvik Time Stretcher". The executable exports
// them (it is linked with ENABLE_EXPORTS), so that CoCreateInstance finds the class through
// the InprocServer32 path that registration writes: the executable's own path.
#include "engine/TimeStretchRegistration.h"
#include "platform/com/Module.h"
#include "platform/com/objbase.h"
#include "platform/media/base/CClassFactory.h"

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
    return CClassFactory::GetClassObject(TimeStretchRegistration::Templates(),
                                         TimeStretchRegistration::TemplateCount(), clsid, iid,
                                         object);
}

STDAPI DllCanUnloadNow() {
    return CClassFactory::CanUnloadNow();
}

STDAPI DllRegisterServer() {
    return TimeStretchRegistration::Register(GetModuleHandleA(nullptr));
}

STDAPI DllUnregisterServer() {
    return TimeStretchRegistration::Unregister(GetModuleHandleA(nullptr));
}
