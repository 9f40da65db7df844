#include "engine/fit/MovieFeatureReader.h"

#include <chrono>

#include "engine/fit/EventFitter.h"
#include "engine/fit/FitProgress.h"
#include "engine/fit/MovieSoundSink.h"
#include "engine/fit/PcmFeatureBuilder.h"
#include "platform/com/ComPtr.h"
#include "platform/com/objbase.h"
#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/control.h"
#include "platform/media/filters/StockFilters.h"
#include "platform/media/graph/MediaGraphClasses.h"
#include "platform/media/splitter/MovieSplitterRegistration.h"
#include "platform/media/strmif.h"
#include "platform/media/uuids.h"

namespace {

constexpr auto kPoll = std::chrono::milliseconds(50);

// COM for the reader's own use, given back when it is done.
class ComScope {
public:
    ComScope() : m_result(CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(m_result)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT m_result;
};

template <typename T>
ComPtr<T> Create(REFCLSID clsid) {
    ComPtr<T> object;
    CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IidOf<T>(),
                     reinterpret_cast<void**>(object.GetAddressOf()));
    return object;
}

ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION wanted, const GUID* major = nullptr) {
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.GetAddressOf()))) return {};
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
        PIN_DIRECTION direction{};
        if (FAILED(pin->QueryDirection(&direction)) || direction != wanted) continue;
        if (!major) return pin;
        ComPtr<IEnumMediaTypes> types;
        AM_MEDIA_TYPE* type = nullptr;
        if (FAILED(pin->EnumMediaTypes(types.GetAddressOf())) ||
            types->Next(1, &type, nullptr) != S_OK) {
            continue;
        }
        const bool match = IsEqualGUID(type->majortype, *major);
        DeleteMediaType(type);
        if (match) return pin;
    }
    return {};
}

}  // namespace

bool MovieFeatureReader::Fail(const std::string& path, const std::string& why) {
    m_error = "cannot read the movie \"" + path + "\": " + why;
    return false;
}

bool MovieFeatureReader::Read(const std::string& path, FitProgress& progress,
                              SoundFeatures* features) {
    m_error.clear();
    ComScope com;
    // The classes this graph needs; registering them again is harmless.
    RegisterMediaGraphClasses();
    RegisterStockFilterClasses();
    RegisterMovieSplitterClass();

    const ComPtr<IGraphBuilder> graph = Create<IGraphBuilder>(CLSID_FilterGraph);
    const ComPtr<IBaseFilter> source = Create<IBaseFilter>(CLSID_AsyncReader);
    const ComPtr<IBaseFilter> splitter = Create<IBaseFilter>(CLSID_MovieSplitter);
    ComPtr<IFileSourceFilter> file;
    if (!graph || !source || !splitter || FAILED(source.As(&file))) {
        return Fail(path, "the media framework is not available");
    }
    const std::u16string wide(path.begin(), path.end());
    if (FAILED(file->Load(wide.c_str(), nullptr))) return Fail(path, "the file cannot be opened");
    graph->AddFilter(source.Get(), u"File Source (Async.)");
    graph->AddFilter(splitter.Get(), u"Movie Splitter");
    const ComPtr<IPin> file_out = FirstPin(source.Get(), PINDIR_OUTPUT);
    const ComPtr<IPin> splitter_in = FirstPin(splitter.Get(), PINDIR_INPUT);
    if (!file_out || !splitter_in ||
        FAILED(graph->ConnectDirect(file_out.Get(), splitter_in.Get(), nullptr))) {
        return Fail(path, "it is not a movie this program can play");
    }
    const ComPtr<IPin> sound = FirstPin(splitter.Get(), PINDIR_OUTPUT, &MEDIATYPE_Audio);
    if (!sound) return Fail(path, "it has no sound track");

    auto* sink_filter = new MovieSoundSink();
    const ComPtr<IBaseFilter> sink(static_cast<IBaseFilter*>(sink_filter));
    graph->AddFilter(sink.Get(), u"Fit Sound Sink");
    if (FAILED(graph->ConnectDirect(sound.Get(), sink_filter->Pin(), nullptr))) {
        return Fail(path, "its sound cannot be decoded to PCM");
    }
    PcmFeatureBuilder builder(sink_filter->Pin()->SampleRate(), sink_filter->Pin()->Channels(),
                              EventFitter::kFitRate);
    sink_filter->SetBuilder(&builder);

    ComPtr<IMediaFilter> timing;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaSeeking> seeking;
    if (FAILED(graph.As(&timing)) || FAILED(graph.As(&control)) || FAILED(graph.As(&seeking))) {
        return Fail(path, "the media framework is not available");
    }
    timing->SetSyncSource(nullptr);  // no clock: as fast as it decodes
    LONGLONG duration = 0;
    seeking->GetDuration(&duration);
    if (FAILED(control->Run())) return Fail(path, "its sound cannot be decoded");
    bool cancelled = false;
    while (!sink_filter->WaitForEnd(kPoll)) {
        if (progress.Cancelled()) {
            cancelled = true;
            break;
        }
        if (duration > 0) {
            progress.Report(static_cast<double>(sink_filter->Position()) /
                            static_cast<double>(duration));
        }
    }
    control->Stop();
    sink_filter->SetBuilder(nullptr);
    if (cancelled) return false;
    if (sink_filter->Failed()) return Fail(path, "its sound cannot be decoded");
    if (builder.FramesTaken() == 0) return Fail(path, "its sound track holds no samples");
    *features = builder.Finish();
    progress.Report(1.0);
    return true;
}
