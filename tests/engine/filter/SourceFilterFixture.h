// What the source filter's tests share: COM initialised, the process's event list pointed at
// the test's own, a test WAV in a fresh folder, a filter made and held by its IBaseFilter,
// the stream read directly for reference, and a check that no framework object outlives the
// test.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/StretchEvent.h"
#include "engine/StretchedWaveStream.h"
#include "engine/TimeStretchSource.h"
#include "platform/com/ComPtr.h"
#include "platform/com/objbase.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/strmif.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

class SourceFilterFixture : public ::testing::Test {
protected:
    static constexpr uint32_t kRate = 8000;
    static constexpr uint16_t kChannels = 2;
    static constexpr uint32_t kFrameBytes = 4;
    static constexpr uint32_t kBytesPerSecond = kRate * kFrameBytes;
    static constexpr uint32_t kHeader = StretchedWaveStream::kHeaderLength;

    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        m_previous_list = CurrentEventList();
        SetCurrentEventList(&head);
        m_objects_before = CUnknown::ObjectsActive();
    }

    void TearDown() override {
        ReleaseFilter();
        EXPECT_EQ(CUnknown::ObjectsActive(), m_objects_before)
            << "a framework object outlived the test";
        delete head;
        head = nullptr;
        SetCurrentEventList(m_previous_list);
        CoUninitialize();
    }

    // `seconds` of test signal; returns its path.
    std::string MakeWav(double seconds, const std::string& name = "source.wav") {
        const std::vector<int16_t> samples =
            TestSignal(static_cast<uint32_t>(seconds * kRate), kChannels, kRate);
        const std::string path = dir.File(name);
        WavFileBuilder().Channels(kChannels).Rate(kRate).Samples(samples).Write(path);
        data_size = static_cast<uint32_t>(samples.size() * 2);
        return path;
    }

    StretchEvent* AddEvent(float movie_pos, float stretch) {
        return new StretchEvent(movie_pos, stretch, &head);
    }

    void MakeFilter() {
        HRESULT hr = S_OK;
        CUnknown* made = TimeStretchSource::CreateInstance(nullptr, &hr);
        ASSERT_NE(made, nullptr);
        ASSERT_EQ(made->NonDelegatingQueryInterface(
                      IID_IBaseFilter, reinterpret_cast<void**>(filter.GetAddressOf())),
                  S_OK);
        source = static_cast<TimeStretchSource*>(made);
        ASSERT_EQ(filter->FindPin(u"Output", pin.GetAddressOf()), S_OK);
        ASSERT_EQ(pin.As(&reader), S_OK);
    }

    void ReleaseFilter() {
        reader = nullptr;
        pin = nullptr;
        filter = nullptr;
        source = nullptr;
    }

    HRESULT Load(const std::string& path, const AM_MEDIA_TYPE* type = nullptr) {
        ComPtr<IFileSourceFilter> file;
        EXPECT_EQ(filter.As(&file), S_OK);
        const std::u16string wide(path.begin(), path.end());
        return file->Load(wide.c_str(), type);
    }

    // What a private stream over the same file yields from the first sample, with the
    // offset given and the event list as it stands.
    std::vector<uint8_t> Rendered(const std::string& path, float offset) {
        StretchedWaveStream reference(StretchedWaveStream::Role::Private);
        EXPECT_TRUE(reference.Open(path.c_str()));
        reference.SetOffset(offset);
        reference.Rewind();
        std::vector<uint8_t> all;
        std::vector<uint8_t> piece(1 << 16);
        for (;;) {
            const uint32_t got = reference.Read(piece.data(), static_cast<uint32_t>(piece.size()));
            all.insert(all.end(), piece.begin(), piece.begin() + got);
            if (got < piece.size()) return all;
        }
    }

    // What a private stream over the same file yields from virtual byte `position`, reached
    // by a seek (processing starts afresh there), up to `count` bytes.
    std::vector<uint8_t> ReadFrom(const std::string& path, float offset, uint32_t position,
                                  uint32_t count) {
        StretchedWaveStream reference(StretchedWaveStream::Role::Private);
        EXPECT_TRUE(reference.Open(path.c_str()));
        reference.SetOffset(offset);
        EXPECT_TRUE(reference.Seek(position, false));
        std::vector<uint8_t> bytes(count);
        bytes.resize(reference.Read(bytes.data(), count));
        return bytes;
    }

    TempDir dir;
    uint32_t data_size = 0;
    StretchEvent* head = nullptr;
    ComPtr<IBaseFilter> filter;
    TimeStretchSource* source = nullptr;
    ComPtr<IPin> pin;
    ComPtr<IAsyncReader> reader;

private:
    StretchEvent** m_previous_list = nullptr;
    long m_objects_before = 0;
};
