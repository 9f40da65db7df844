// CMemAllocator and CMediaSample: properties, commit and decommit, the blocking pool and the
// ways out of it, sample properties, and creation as a COM class.
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "platform/com/ComPtr.h"
#include "platform/com/objbase.h"
#include "platform/media/base/CMediaType.h"
#include "platform/media/base/CMemAllocator.h"
#include "platform/media/base/MediaBaseClasses.h"
#include "platform/media/uuids.h"
#include "platform/registry/RegistrySetup.h"
#include "tests/support/TempDir.h"

namespace {

using namespace std::chrono_literals;

ComPtr<IMemAllocator> MakeAllocator(long buffers, long size, long align = 1, long prefix = 0) {
    ComPtr<IMemAllocator> allocator;
    EXPECT_EQ(CMemAllocator::CreateInstance(nullptr, IID_IMemAllocator,
                                            reinterpret_cast<void**>(allocator.GetAddressOf())),
              S_OK);
    ALLOCATOR_PROPERTIES request{buffers, size, align, prefix};
    ALLOCATOR_PROPERTIES actual{};
    EXPECT_EQ(allocator->SetProperties(&request, &actual), S_OK);
    return allocator;
}

ComPtr<IMediaSample> Take(IMemAllocator* allocator, DWORD flags = 0) {
    ComPtr<IMediaSample> sample;
    allocator->GetBuffer(sample.GetAddressOf(), nullptr, nullptr, flags);
    return sample;
}

// ---- properties --------------------------------------------------------------------------

TEST(CMemAllocatorProperties, alignment_must_be_a_power_of_two) {
    ComPtr<IMemAllocator> allocator = MakeAllocator(1, 10);
    ALLOCATOR_PROPERTIES actual{};
    ALLOCATOR_PROPERTIES zero{1, 10, 0, 0};
    EXPECT_EQ(allocator->SetProperties(&zero, &actual), VFW_E_BADALIGN);
    ALLOCATOR_PROPERTIES three{1, 10, 3, 0};
    EXPECT_EQ(allocator->SetProperties(&three, &actual), VFW_E_BADALIGN);
    ALLOCATOR_PROPERTIES negative{-1, 10, 1, 0};
    EXPECT_EQ(allocator->SetProperties(&negative, &actual), E_INVALIDARG);
    EXPECT_EQ(allocator->SetProperties(nullptr, &actual), E_POINTER);
}

TEST(CMemAllocatorProperties, buffer_size_is_rounded_up_with_the_prefix_to_the_alignment) {
    ComPtr<IMemAllocator> allocator;
    ASSERT_EQ(CMemAllocator::CreateInstance(nullptr, IID_IMemAllocator,
                                            reinterpret_cast<void**>(allocator.GetAddressOf())),
              S_OK);
    ALLOCATOR_PROPERTIES request{3, 100, 16, 8};
    ALLOCATOR_PROPERTIES actual{};
    ASSERT_EQ(allocator->SetProperties(&request, &actual), S_OK);
    EXPECT_EQ(actual.cBuffers, 3);
    EXPECT_EQ(actual.cbBuffer, 104);  // 8 + 104 = 112, a multiple of 16
    EXPECT_EQ(actual.cbPrefix, 8);
    ALLOCATOR_PROPERTIES read{};
    ASSERT_EQ(allocator->GetProperties(&read), S_OK);
    EXPECT_EQ(read.cbBuffer, 104);
}

TEST(CMemAllocatorProperties, cannot_change_while_committed) {
    ComPtr<IMemAllocator> allocator = MakeAllocator(2, 64);
    ASSERT_EQ(allocator->Commit(), S_OK);
    ALLOCATOR_PROPERTIES request{4, 64, 1, 0};
    ALLOCATOR_PROPERTIES actual{};
    EXPECT_EQ(allocator->SetProperties(&request, &actual), VFW_E_ALREADY_COMMITTED);
    EXPECT_EQ(allocator->Decommit(), S_OK);
    EXPECT_EQ(allocator->SetProperties(&request, &actual), S_OK);
}

TEST(CMemAllocatorProperties, cannot_change_while_buffers_are_out) {
    ComPtr<IMemAllocator> allocator = MakeAllocator(2, 64);
    ASSERT_EQ(allocator->Commit(), S_OK);
    ComPtr<IMediaSample> sample = Take(allocator.Get());
    ASSERT_TRUE(sample);
    allocator->Decommit();
    ALLOCATOR_PROPERTIES request{4, 64, 1, 0};
    ALLOCATOR_PROPERTIES actual{};
    EXPECT_EQ(allocator->SetProperties(&request, &actual), VFW_E_BUFFERS_OUTSTANDING);
    sample = nullptr;
    EXPECT_EQ(allocator->SetProperties(&request, &actual), S_OK);
}

TEST(CMemAllocatorProperties, commit_without_sizes_fails) {
    ComPtr<IMemAllocator> allocator;
    ASSERT_EQ(CMemAllocator::CreateInstance(nullptr, IID_IMemAllocator,
                                            reinterpret_cast<void**>(allocator.GetAddressOf())),
              S_OK);
    EXPECT_EQ(allocator->Commit(), VFW_E_SIZENOTSET);
}

// ---- buffers -----------------------------------------------------------------------------

TEST(CMemAllocatorBuffers, get_buffer_needs_a_commit) {
    ComPtr<IMemAllocator> allocator = MakeAllocator(1, 16);
    IMediaSample* sample = reinterpret_cast<IMediaSample*>(1);
    EXPECT_EQ(allocator->GetBuffer(&sample, nullptr, nullptr, 0), VFW_E_NOT_COMMITTED);
    EXPECT_EQ(sample, nullptr);
}

TEST(CMemAllocatorBuffers, buffers_are_distinct_aligned_and_leave_room_for_the_prefix) {
    ComPtr<IMemAllocator> allocator = MakeAllocator(3, 100, 32, 12);
    ASSERT_EQ(allocator->Commit(), S_OK);
    ComPtr<IMediaSample> samples[3];
    BYTE* pointers[3] = {};
    for (int i = 0; i < 3; ++i) {
        samples[i] = Take(allocator.Get());
        ASSERT_TRUE(samples[i]);
        ASSERT_EQ(samples[i]->GetPointer(&pointers[i]), S_OK);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(pointers[i]) % 32, 0u);
        EXPECT_GE(samples[i]->GetSize(), 100);
    }
    EXPECT_GE(std::abs(pointers[1] - pointers[0]), 100 + 12);
    EXPECT_GE(std::abs(pointers[2] - pointers[1]), 100 + 12);
    pointers[0][-12] = 0x5A;  // the prefix belongs to the sample: ASan checks it is memory
    pointers[2][99] = 0xA5;
}

TEST(CMemAllocatorBuffers, nowait_reports_an_empty_pool_at_once) {
    ComPtr<IMemAllocator> allocator = MakeAllocator(1, 16);
    ASSERT_EQ(allocator->Commit(), S_OK);
    ComPtr<IMediaSample> held = Take(allocator.Get());
    ASSERT_TRUE(held);
    IMediaSample* sample = nullptr;
    EXPECT_EQ(allocator->GetBuffer(&sample, nullptr, nullptr, AM_GBF_NOWAIT), VFW_E_TIMEOUT);
    EXPECT_EQ(sample, nullptr);
}

TEST(CMemAllocatorBuffers, waiting_get_buffer_gets_the_buffer_released_by_another_thread) {
    ComPtr<IMemAllocator> allocator = MakeAllocator(1, 16);
    ASSERT_EQ(allocator->Commit(), S_OK);
    ComPtr<IMediaSample> held = Take(allocator.Get());
    ASSERT_TRUE(held);
    IMediaSample* raw = held.Get();
    auto waiter = std::async(std::launch::async, [&] {
        IMediaSample* sample = nullptr;
        const HRESULT hr = allocator->GetBuffer(&sample, nullptr, nullptr, 0);
        const bool same = sample == raw;
        if (sample) sample->Release();
        return hr == S_OK && same;
    });
    EXPECT_EQ(waiter.wait_for(100ms), std::future_status::timeout);  // it waits
    held = nullptr;
    ASSERT_EQ(waiter.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(waiter.get());
}

TEST(CMemAllocatorBuffers, decommit_releases_a_waiting_get_buffer) {
    ComPtr<IMemAllocator> allocator = MakeAllocator(1, 16);
    ASSERT_EQ(allocator->Commit(), S_OK);
    ComPtr<IMediaSample> held = Take(allocator.Get());
    auto waiter = std::async(std::launch::async, [&] {
        IMediaSample* sample = nullptr;
        return allocator->GetBuffer(&sample, nullptr, nullptr, 0);
    });
    EXPECT_EQ(waiter.wait_for(100ms), std::future_status::timeout);
    allocator->Decommit();
    ASSERT_EQ(waiter.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(waiter.get(), VFW_E_NOT_COMMITTED);
}

TEST(CMemAllocatorBuffers, decommit_with_buffers_out_frees_them_when_they_return) {
    auto* raw = new CMemAllocator();
    ComPtr<IMemAllocator> allocator(static_cast<IMemAllocator*>(raw));
    ALLOCATOR_PROPERTIES request{2, 32, 1, 0};
    ALLOCATOR_PROPERTIES actual{};
    ASSERT_EQ(allocator->SetProperties(&request, &actual), S_OK);
    ASSERT_EQ(allocator->Commit(), S_OK);
    ComPtr<IMediaSample> out = Take(allocator.Get());
    ASSERT_EQ(allocator->Decommit(), S_OK);
    EXPECT_EQ(raw->BuffersOut(), 1);
    BYTE* buffer = nullptr;
    out->GetPointer(&buffer);
    buffer[31] = 1;  // still usable after the decommit
    out = nullptr;
    EXPECT_EQ(raw->BuffersOut(), 0);
    EXPECT_EQ(allocator->Commit(), S_OK);  // and the pool can start again
    EXPECT_TRUE(Take(allocator.Get()));
}

TEST(CMemAllocatorBuffers, a_sample_keeps_its_allocator_alive) {
    ComPtr<IMemAllocator> allocator = MakeAllocator(1, 8);
    ASSERT_EQ(allocator->Commit(), S_OK);
    const long before = CUnknown::ObjectsActive();
    ComPtr<IMediaSample> sample = Take(allocator.Get());
    allocator->Decommit();
    allocator = nullptr;
    EXPECT_EQ(CUnknown::ObjectsActive(), before);  // the allocator is still there
    BYTE* buffer = nullptr;
    sample->GetPointer(&buffer);
    buffer[7] = 7;
    sample = nullptr;
    EXPECT_EQ(CUnknown::ObjectsActive(), before - 1);
}

TEST(CMemAllocatorBuffers, returned_samples_lose_their_properties) {
    ComPtr<IMemAllocator> allocator = MakeAllocator(1, 8);
    ASSERT_EQ(allocator->Commit(), S_OK);
    {
        ComPtr<IMediaSample> sample = Take(allocator.Get());
        REFERENCE_TIME start = 5;
        REFERENCE_TIME stop = 9;
        sample->SetTime(&start, &stop);
        sample->SetDiscontinuity(TRUE);
        sample->SetActualDataLength(3);
        CMediaType type(&MEDIATYPE_Audio);
        sample->SetMediaType(&type);
    }
    ComPtr<IMediaSample> again = Take(allocator.Get());
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    EXPECT_EQ(again->GetTime(&start, &stop), VFW_E_SAMPLE_TIME_NOT_SET);
    EXPECT_EQ(again->IsDiscontinuity(), S_FALSE);
    EXPECT_EQ(again->GetActualDataLength(), 8);
    AM_MEDIA_TYPE* type = nullptr;
    EXPECT_EQ(again->GetMediaType(&type), S_FALSE);
    EXPECT_EQ(type, nullptr);
}

TEST(CMemAllocatorBuffers, releasing_a_buffer_twice_is_refused) {
    ComPtr<IMemAllocator> allocator = MakeAllocator(1, 8);
    ASSERT_EQ(allocator->Commit(), S_OK);
    ComPtr<IMediaSample> sample = Take(allocator.Get());
    IMediaSample* raw = sample.Get();
    sample = nullptr;
    EXPECT_EQ(allocator->ReleaseBuffer(raw), E_INVALIDARG);
}

TEST(CMemAllocatorBuffers, many_threads_share_a_small_pool_without_losing_a_buffer) {
    auto* raw = new CMemAllocator();
    ComPtr<IMemAllocator> allocator(static_cast<IMemAllocator*>(raw));
    ALLOCATOR_PROPERTIES request{2, 16, 1, 0};
    ALLOCATOR_PROPERTIES actual{};
    ASSERT_EQ(allocator->SetProperties(&request, &actual), S_OK);
    ASSERT_EQ(allocator->Commit(), S_OK);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 500; ++i) {
                IMediaSample* sample = nullptr;
                if (allocator->GetBuffer(&sample, nullptr, nullptr, 0) != S_OK) ++failures;
                if (sample) sample->Release();
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(raw->BuffersOut(), 0);
}

// ---- samples -----------------------------------------------------------------------------

TEST(CMediaSample, times_follow_what_was_set) {
    ComPtr<IMemAllocator> allocator = MakeAllocator(1, 8);
    ASSERT_EQ(allocator->Commit(), S_OK);
    ComPtr<IMediaSample> sample = Take(allocator.Get());
    REFERENCE_TIME start = 100;
    REFERENCE_TIME stop = 200;
    REFERENCE_TIME got_start = 0;
    REFERENCE_TIME got_stop = 0;
    ASSERT_EQ(sample->SetTime(&start, nullptr), S_OK);
    EXPECT_EQ(sample->GetTime(&got_start, &got_stop), VFW_S_NO_STOP_TIME);
    EXPECT_EQ(got_stop, 101);
    ASSERT_EQ(sample->SetTime(&start, &stop), S_OK);
    EXPECT_EQ(sample->GetTime(&got_start, &got_stop), S_OK);
    EXPECT_EQ(got_stop, 200);
    ASSERT_EQ(sample->SetTime(nullptr, nullptr), S_OK);
    EXPECT_EQ(sample->GetTime(&got_start, &got_stop), VFW_E_SAMPLE_TIME_NOT_SET);
    LONGLONG media_start = 3;
    LONGLONG media_stop = 4;
    EXPECT_EQ(sample->GetMediaTime(&media_start, &media_stop), VFW_E_MEDIA_TIME_NOT_SET);
    ASSERT_EQ(sample->SetMediaTime(&media_start, &media_stop), S_OK);
    media_start = media_stop = 0;
    EXPECT_EQ(sample->GetMediaTime(&media_start, &media_stop), S_OK);
    EXPECT_EQ(media_stop, 4);
}

TEST(CMediaSample, actual_length_stays_inside_the_buffer) {
    ComPtr<IMemAllocator> allocator = MakeAllocator(1, 8);
    ASSERT_EQ(allocator->Commit(), S_OK);
    ComPtr<IMediaSample> sample = Take(allocator.Get());
    EXPECT_EQ(sample->SetActualDataLength(9), VFW_E_BUFFER_OVERFLOW);
    EXPECT_EQ(sample->SetActualDataLength(-1), E_INVALIDARG);
    EXPECT_EQ(sample->SetActualDataLength(8), S_OK);
    EXPECT_EQ(sample->SetActualDataLength(0), S_OK);
    EXPECT_EQ(sample->GetActualDataLength(), 0);
}

TEST(CMediaSample, flags_and_media_type_round_trip) {
    ComPtr<IMemAllocator> allocator = MakeAllocator(1, 8);
    ASSERT_EQ(allocator->Commit(), S_OK);
    ComPtr<IMediaSample> sample = Take(allocator.Get());
    EXPECT_EQ(sample->IsSyncPoint(), S_FALSE);
    sample->SetSyncPoint(TRUE);
    sample->SetPreroll(TRUE);
    EXPECT_EQ(sample->IsSyncPoint(), S_OK);
    EXPECT_EQ(sample->IsPreroll(), S_OK);
    CMediaType type(&MEDIATYPE_Video);
    ASSERT_EQ(sample->SetMediaType(&type), S_OK);
    AM_MEDIA_TYPE* got = nullptr;
    ASSERT_EQ(sample->GetMediaType(&got), S_OK);
    ASSERT_NE(got, nullptr);
    EXPECT_TRUE(IsEqualGUID(got->majortype, MEDIATYPE_Video));
    DeleteMediaType(got);
}

// ---- as a COM class ----------------------------------------------------------------------

TEST(CMemAllocatorClass, is_created_by_its_class_identifier) {
    TempDir registry;
    RegistrySetFolder(registry.Path().string());
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    RegisterMediaBaseClasses();
    ComPtr<IMemAllocator> allocator;
    EXPECT_EQ(
        CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                         reinterpret_cast<void**>(allocator.GetAddressOf())),
        S_OK);
    EXPECT_TRUE(allocator);
    allocator = nullptr;
    CoUninitialize();
    RegistrySetFolder("");
}

TEST(CMemAllocatorClass, refuses_aggregation) {
    void* object = nullptr;
    IUnknown* outer = reinterpret_cast<IUnknown*>(&object);  // never called
    EXPECT_EQ(CMemAllocator::CreateInstance(outer, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
}

}  // namespace
