// Start-up wiring of the stock filters: "File Source (Async.)" (CLSID_AsyncReader),
// "Wave Parser" (CLSID_WAVEParser), "Null Renderer" (CLSID_NullRenderer), "File Writer"
// (CLSID_FileWriter) and the audio renderer "Default DirectSound Device" (CLSID_DSoundRender).
//
// RegisterStockFilterClasses makes them creatable with CoCreateInstance in this process.
// WriteStockFilterRegistrations puts them in the registry where the filter catalogue and the
// graph's filter search look: each under the filter category's Instance key
// (HKEY_CLASSES_ROOT\CLSID\{083863F1-70DE-11D0-BD40-00A0C911CE86}\Instance\{clsid}) with
// FriendlyName, CLSID and the mapper's FilterData record; the audio renderer instead under
// the audio renderer category, which also lists it in the per-user cache
// (HKEY_CURRENT_USER\Software\Microsoft\ActiveMovie\devenum\{E0F158E1-...}\Default DirectSound
// Device). Each class also gets its HKEY_CLASSES_ROOT\CLSID\{clsid} key named after it.
// Order of use: RegisterStockFilterClasses once at start-up; WriteStockFilterRegistrations as
// a registry first-use hook (it writes unconditionally, cheap when nothing changes). Calling
// either again is harmless.
// Threading: any thread.
#pragma once

#include "platform/com/ComErrors.h"

void RegisterStockFilterClasses();
HRESULT WriteStockFilterRegistrations();
