// The media detector on arbitrary bytes: a file either opens or is refused, and every
// stream of one that opens answers each question.
#include <cstdint>
#include <string>

#include "platform/com/ComPtr.h"
#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/detector/MediaDetector.h"
#include "platform/media/graph/WideText.h"
#include "tests/fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzFile input(data, size);
    ComPtr<IMediaDet> detector;
    if (FAILED(MediaDetector::CreateInstance(nullptr, IID_IMediaDet,
                                             reinterpret_cast<void**>(detector.GetAddressOf()))))
        return 0;
    const std::u16string wide = WideFromUtf8(input.Path());
    BSTR name = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    const HRESULT opened = detector->put_Filename(name);
    SysFreeString(name);
    if (FAILED(opened)) return 0;
    long count = 0;
    detector->get_OutputStreams(&count);
    for (long i = 0; i < count; ++i) {
        if (FAILED(detector->put_CurrentStream(i))) continue;
        GUID major{};
        detector->get_StreamType(&major);
        double seconds = 0;
        detector->get_StreamLength(&seconds);
        double rate = 0;
        detector->get_FrameRate(&rate);
        AM_MEDIA_TYPE type{};
        if (SUCCEEDED(detector->get_StreamMediaType(&type))) FreeMediaType(type);
    }
    return 0;
}
