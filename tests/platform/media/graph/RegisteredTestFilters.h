// Test filter classes made creatable and registered with the mapper in the test's registry
// folder, so the graph can find them by media type: a parser from a private stream type to
// PCM audio, renderers of three merits, and a file source for a private file extension.
#pragma once

#include "platform/com/Guid.h"
#include "platform/media/strmif.h"

namespace test_filters {

inline constexpr GUID kClipSubtype = MakeGuid("5A0E3D10-6F0B-4C2E-9A51-7C1D2E3F4B00");
inline constexpr GUID kOddSubtype = MakeGuid("5A0E3D10-6F0B-4C2E-9A51-7C1D2E3F4B01");
inline constexpr GUID kParser = MakeGuid("5A0E3D10-6F0B-4C2E-9A51-7C1D2E3F4B10");
inline constexpr GUID kRenderer = MakeGuid("5A0E3D10-6F0B-4C2E-9A51-7C1D2E3F4B11");
inline constexpr GUID kLowRenderer = MakeGuid("5A0E3D10-6F0B-4C2E-9A51-7C1D2E3F4B12");
inline constexpr GUID kAnyRenderer = MakeGuid("5A0E3D10-6F0B-4C2E-9A51-7C1D2E3F4B13");
inline constexpr GUID kClipSource = MakeGuid("5A0E3D10-6F0B-4C2E-9A51-7C1D2E3F4B14");
inline constexpr GUID kOddSource = MakeGuid("5A0E3D10-6F0B-4C2E-9A51-7C1D2E3F4B15");

// Friendly names, as the graph names the filters it adds.
inline constexpr char16_t kParserName[] = u"Test Parser";
inline constexpr char16_t kRendererName[] = u"Test Renderer";
inline constexpr char16_t kLowRendererName[] = u"Low Renderer";
inline constexpr char16_t kAnyRendererName[] = u"Any Renderer";

// Makes the classes creatable (built-in classes) and writes their records through
// IFilterMapper2; ".clip" files open with kClipSource, ".odd" files with kOddSource.
void RegisterAll();
void UnregisterClasses();

}  // namespace test_filters
