// TimeStretchRegistration: what makes "Tarvik Time Stretcher" known to the system: its setup
// record (merit MERIT_UNLIKELY, one output pin "Output" of stream / WAVE), the class factory
// table that DllGetClassObject serves, and registration on and off.
//
// Registration on writes HKEY_CLASSES_ROOT\CLSID\{C553F2C0-1529-11D0-B4D1-00805F6CBBEA}
// (default value the name) with its InprocServer32 key (default value the module's path,
// ThreadingModel "Both"), then registers the filter with the filter mapper (the older mapper
// when the newer cannot be made), replacing any earlier registration, so registering twice
// leaves one. Registration off unregisters it from the mapper and deletes the class key with
// all its subkeys; what is already gone counts as removed. Both return the first failure: a
// registry error as a Win32 HRESULT, a mapper's result as it came.
//
// Order of use: Register when the program starts serving the class (DllRegisterServer, the
// main window opening), Unregister when it stops (DllUnregisterServer, the main window
// going). Each initialises COM for its own duration.
// Threading: any thread; the registry serialises its writes.
#pragma once

#include "platform/com/Module.h"
#include "platform/media/base/CFactoryTemplate.h"

class TimeStretchRegistration {
public:
    // `module` is the program or library whose path the class is registered with (null: the
    // executable).
    static HRESULT Register(HMODULE module);
    static HRESULT Unregister(HMODULE module);

    static const AMOVIESETUP_FILTER& SetupRecord();
    // The class factory table of the program's COM server: the filter's one line.
    static const CFactoryTemplate* Templates();
    static int TemplateCount();
};
