// The movie splitter on arbitrary bytes, served from memory as a file source would: the
// input connects or refuses, and the movie's demuxer reads every packet, seeks and reads
// again.
#include <cstdint>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "platform/com/ComPtr.h"
#include "platform/media/splitter/MovieDemuxer.h"
#include "platform/media/splitter/MovieSplitterFilter.h"
#include "tests/platform/media/support/MemoryReaderFilter.h"

namespace {

ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION direction) {
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.GetAddressOf()))) return {};
    for (IPin* pin = nullptr; pins->Next(1, &pin, nullptr) == S_OK;) {
        ComPtr<IPin> held(pin);
        pin->Release();
        PIN_DIRECTION found{};
        if (SUCCEEDED(held->QueryDirection(&found)) && found == direction) return held;
    }
    return {};
}

void ReadAll(MovieDemuxer* demuxer, AVPacket* packet) {
    for (int i = 0; i < 5000 && demuxer->ReadPacket(packet) == 0; ++i)
        av_packet_unref(packet);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto* memory = new MemoryReaderFilter(std::vector<BYTE>(data, data + size));
    const ComPtr<IBaseFilter> source(static_cast<IBaseFilter*>(memory));
    auto* splitter = new MovieSplitterFilter(MovieSplitterFilter::Inputs::AnyStream);
    const ComPtr<IBaseFilter> held(static_cast<IBaseFilter*>(splitter));

    const ComPtr<IPin> output = FirstPin(source.Get(), PINDIR_OUTPUT);
    const ComPtr<IPin> input = FirstPin(held.Get(), PINDIR_INPUT);
    if (output && input && SUCCEEDED(output->Connect(input.Get(), nullptr))) {
        output->Disconnect();
        input->Disconnect();
    }

    MovieDemuxer demuxer;
    if (SUCCEEDED(demuxer.Open(memory->OutputPin()))) {
        for (const int index : demuxer.PlayableStreams()) {
            ProbedStream probed;
            demuxer.Describe(index, &probed);
        }
        AVPacket* packet = av_packet_alloc();
        ReadAll(&demuxer, packet);
        demuxer.Seek(demuxer.Duration() / 2);
        ReadAll(&demuxer, packet);
        demuxer.Seek(0);
        ReadAll(&demuxer, packet);
        av_packet_free(&packet);
    }
    return 0;
}
