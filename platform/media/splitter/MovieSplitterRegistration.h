// The movie splitter's class and registration: CLSID_MovieSplitter, creatable in every program
// that links the framework, and its record under the filter category, so that rendering an
// MPEG or AVI file through "File Source (Async.)" finds it.
// Order of use: RegisterMovieSplitterClass once at start-up; WriteMovieSplitterRegistration as
// a registry first-use hook. Calling either again is harmless.
// Threading: any thread.
#pragma once

#include "platform/com/ComErrors.h"
#include "platform/com/Guid.h"

inline constexpr GUID CLSID_MovieSplitter = MakeGuid("923BCB51-82E3-4978-8051-773651EC6CD7");

void RegisterMovieSplitterClass();
HRESULT WriteMovieSplitterRegistration();
