// What the stock filter tests share: a fixture with a fresh registry folder, COM and the
// stock classes registered, that fails a test which leaves a framework object behind; a
// holder that keeps a new filter counted; pin lookup, bounded waits and test WAV files.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/com/ComPtr.h"
#include "platform/media/strmif.h"
#include "tests/support/TempDir.h"

class FilterTest : public ::testing::Test {
protected:
    // The count of framework objects is taken before a derived fixture makes its filters and
    // checked after it has released them.
    FilterTest();
    ~FilterTest() override;
    void SetUp() override;
    void TearDown() override;

    // A WAV of 16-bit samples in the test folder; its samples are never 0, so silence the
    // device adds can be told apart.
    std::string MakeWav(const std::string& name, uint32_t frames, uint16_t channels = 2,
                        uint32_t rate = 8000);
    std::vector<int16_t> WavSamples() const { return m_samples; }

    TempDir m_dir;

private:
    long m_objects_before = 0;
    std::vector<int16_t> m_samples;
};

// A new filter held by its IBaseFilter, with the typed pointer for the test's calls.
template <typename Filter>
struct Held {
    template <typename... Args>
    explicit Held(Args&&... args)
        : filter(new Filter(std::forward<Args>(args)...)),
          base(static_cast<IBaseFilter*>(filter)) {}
    Filter* operator->() const { return filter; }
    IBaseFilter* Base() const { return base.Get(); }

    Filter* filter;
    ComPtr<IBaseFilter> base;
};

// The filter's `index`-th pin of `direction`, or null.
ComPtr<IPin> FindPin(IBaseFilter* filter, PIN_DIRECTION direction, int index = 0);
std::u16string WidePath(const std::string& path);
// Samples in 16-bit little-endian bytes with every all-zero frame left out.
std::vector<int16_t> NonSilentSamples(const std::vector<uint8_t>& bytes, int channels);

// Polls `done` until it holds, for at most `timeout`.
template <typename Predicate>
bool WaitUntil(Predicate done, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
