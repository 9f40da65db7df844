// The WAV reader and the stretched stream on arbitrary bytes: a file either opens or is
// refused; an open one reads to its end, seeks back and reads again, stretched by a few
// events and an offset taken from the input's first bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/SourceWaveReader.h"
#include "engine/StretchEvent.h"
#include "engine/StretchedWaveStream.h"
#include "tests/fuzz/FuzzFile.h"

namespace {

void ReadWholeSource(const char* path) {
    SourceWaveReader reader;
    if (!reader.Open(path)) return;
    std::vector<uint8_t> buffer(4096);
    int64_t total = 0;
    for (int32_t n; (n = reader.Read(buffer.data(), 4096)) > 0;) {
        total += n;
        if (total > reader.DataEnd()) std::abort();  // read past where the samples end
    }
    reader.SeekTo(reader.DataLength() / 2);
    reader.Read(buffer.data(), 4096);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzFile input(data, size);
    ReadWholeSource(input.Path().c_str());

    StretchedWaveStream stream(StretchedWaveStream::Role::Private);
    if (!stream.Open(input.Path().c_str())) return 0;
    // A stretch (percent, within the editor's -95..95) and an offset chosen by the input, so
    // the map's arithmetic is fuzzed too.
    const int stretch = size > 0 ? static_cast<int8_t>(data[0]) % 96 : 0;
    const int offset = size > 1 ? static_cast<int8_t>(data[1]) : 0;
    StretchEvent* events = nullptr;
    new StretchEvent(0.0f, static_cast<float>(stretch), &events);
    new StretchEvent(0.01f, static_cast<float>(-stretch), &events);
    StretchEvent** previous = CurrentEventList();
    SetCurrentEventList(&events);
    stream.SetOffset(static_cast<float>(offset) / 100.0f);

    std::vector<uint8_t> buffer(4096);
    uint64_t total = 0;
    const uint64_t limit = 2 * stream.GetExpectedOutputLength() + (1u << 20);
    while (const uint32_t n = stream.Read(buffer.data(), 4096)) {
        total += n;
        if (total > limit) std::abort();  // the stream does not end
    }
    stream.Seek(StretchedWaveStream::kHeaderLength, true);
    stream.Read(buffer.data(), 4096);
    stream.Seek(static_cast<uint32_t>(total / 2), true);
    stream.Read(buffer.data(), 4096);
    SetCurrentEventList(previous);
    delete events;  // and the one after it
    return 0;
}
