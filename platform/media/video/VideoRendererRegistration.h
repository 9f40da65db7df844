// Start-up wiring of the stock "Video Renderer" (CLSID_VideoRenderer).
// RegisterVideoRendererClass makes it creatable with CoCreateInstance in this process.
// WriteVideoRendererRegistration writes it under the filter category's Instance key
// (HKEY_CLASSES_ROOT\CLSID\{083863F1-70DE-11D0-BD40-00A0C911CE86}\Instance\{clsid}) with its
// friendly name and mapper record (preferred merit, one rendered input pin "Input" taking
// MEDIATYPE_Video / MEDIASUBTYPE_RGB32), so the graph picks it to render an RGB32 pin.
// Order of use: RegisterVideoRendererClass once at start-up; WriteVideoRendererRegistration as
// a registry first-use hook. Calling either again is harmless.
// Threading: any thread.
#pragma once

#include "platform/com/ComErrors.h"

void RegisterVideoRendererClass();
HRESULT WriteVideoRendererRegistration();
