// Start-up wiring of the DMO wrapper filter (CLSID_DMOWrapperFilter) and of the built-in
// "Gain" media object (CLSID_GainDmo, an audio effect).
// RegisterDmoWrapperClasses makes both creatable with CoCreateInstance in this process.
// WriteDmoRegistrations registers the "Gain" object with DMORegister in
// DMOCATEGORY_AUDIO_EFFECT, taking and giving MEDIATYPE_Audio / MEDIASUBTYPE_PCM, and names
// its HKEY_CLASSES_ROOT\CLSID\{clsid} key.
// Order of use: RegisterDmoWrapperClasses once at start-up; WriteDmoRegistrations as a
// registry first-use hook. Calling either again is harmless.
// Threading: any thread.
#pragma once

#include "platform/com/ComErrors.h"

void RegisterDmoWrapperClasses();
HRESULT WriteDmoRegistrations();
