// The movie splitter's classes and registrations, creatable in every program that links the
// framework:
// - CLSID_MovieSplitter, "Movie Splitter", at normal merit for the containers it knows by name
//   (MPEG program streams, AVI, QuickTime, MP4, Matroska/WebM, MPEG-2 transport streams), so
//   that rendering such a file through "File Source (Async.)" finds it;
// - CLSID_MovieSplitterOtherFormats, "Movie Splitter (Other Formats)", the same splitter for a
//   byte stream of any subtype that FFmpeg can still open, at the lowest merit the graph uses,
//   so that it is tried only after every other parser has refused the stream.
// Order of use: RegisterMovieSplitterClass once at start-up; WriteMovieSplitterRegistration as
// a registry first-use hook. Calling either again is harmless.
// Threading: any thread.
#pragma once

#include "platform/com/ComErrors.h"
#include "platform/com/Guid.h"

inline constexpr GUID CLSID_MovieSplitter = MakeGuid("923BCB51-82E3-4978-8051-773651EC6CD7");
inline constexpr GUID CLSID_MovieSplitterOtherFormats =
    MakeGuid("EAD61377-F7C4-4AEC-A87F-5A80D017B91B");

void RegisterMovieSplitterClass();
HRESULT WriteMovieSplitterRegistration();
