// Edits of the event list, each followed by SetOffset, on one thread while another pulls the
// stream through the filter's read queue, as the main window and the parser do during
// playback. Run through EditCurrentStream, no edit overlaps a read: the sanitizers would see
// a race or a freed event, and every read completes.
#include <atomic>
#include <chrono>
#include <future>

#include "engine/StreamAdapter.h"
#include "platform/media/base/CMemAllocator.h"
#include "platform/media/base/CPullPin.h"
#include "tests/engine/filter/SourceFilterFixture.h"

namespace {

using namespace std::chrono_literals;

constexpr int kReads = 300;
constexpr int kEdits = 300;
constexpr long kReadBytes = 4096;

using ConcurrentEdit = SourceFilterFixture;

// Queued reads through IAsyncReader, one after another across the file and round again.
HRESULT PullReads(IAsyncReader* reader, LONGLONG total, const std::atomic<bool>& edits_done,
                  int* completed) {
    ComPtr<IMemAllocator> allocator;
    HRESULT hr = CMemAllocator::CreateInstance(nullptr, IID_IMemAllocator,
                                               reinterpret_cast<void**>(allocator.GetAddressOf()));
    if (FAILED(hr)) return hr;
    ALLOCATOR_PROPERTIES wanted{1, kReadBytes, 1, 0};
    ALLOCATOR_PROPERTIES granted{};
    if (FAILED(hr = allocator->SetProperties(&wanted, &granted))) return hr;
    if (FAILED(hr = allocator->Commit())) return hr;
    LONGLONG position = StretchedWaveStream::kHeaderLength;
    for (*completed = 0; *completed < kReads || !edits_done; ++*completed) {
        ComPtr<IMediaSample> sample;
        if (FAILED(hr = allocator->GetBuffer(sample.GetAddressOf(), nullptr, nullptr, 0))) break;
        REFERENCE_TIME start = position * UNITS;
        REFERENCE_TIME stop = (position + kReadBytes) * UNITS;
        sample->SetTime(&start, &stop);
        if (FAILED(hr = reader->Request(sample.Get(), 0))) break;
        IMediaSample* done = nullptr;
        DWORD_PTR user = 0;
        hr = reader->WaitForNext(10'000, &done, &user);
        if (hr != S_OK || done != sample.Get()) break;
        position += kReadBytes;
        if (position >= total) position = StretchedWaveStream::kHeaderLength;
    }
    allocator->Decommit();
    return hr;
}

TEST_F(ConcurrentEdit, edits_and_offset_changes_never_overlap_the_queues_reads) {
    MakeFilter();
    ASSERT_EQ(Load(MakeWav(2.0)), S_OK);
    LONGLONG total = 0;
    LONGLONG available = 0;
    ASSERT_EQ(reader->Length(&total, &available), S_OK);

    std::atomic<bool> edits_done{false};
    int completed = 0;
    auto pulling = std::async(
        std::launch::async, [&] { return PullReads(reader.Get(), total, edits_done, &completed); });
    for (int i = 0; i < kEdits; ++i) {
        StreamAdapter::EditCurrentStream([&](StretchedWaveStream* stream) {
            ASSERT_EQ(stream, &source->Stream());
            if (i % 3 == 2 && head) {
                StretchEvent* first = head;
                first->Unlink(&head);
                delete first;  // the stream may point at it until the SetOffset below
            } else {
                AddEvent(static_cast<float>(i % 20) * 0.1f, i % 2 ? 30.0f : -30.0f);
            }
            stream->SetOffset(static_cast<float>(i % 5) * 0.05f - 0.1f);
        });
    }
    edits_done = true;
    ASSERT_EQ(pulling.wait_for(60s), std::future_status::ready);
    EXPECT_EQ(pulling.get(), S_OK);
    EXPECT_GE(completed, kReads);
}

}  // namespace
