#include "engine/StreamAdapter.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <mutex>
#include <vector>

#include "engine/StretchedWaveStream.h"
#include "platform/sync/CAutoLock.h"

namespace {

// Every live adapter, so that an edit finds the one that reads the current stream. Recursive:
// an edit may make a stream, whose filter's adapter registers itself on the same thread.
std::recursive_mutex g_adapters_mutex;
std::vector<StreamAdapter*>& Adapters() {
    static std::vector<StreamAdapter*> adapters;
    return adapters;
}

}  // namespace

StreamAdapter::StreamAdapter(StretchedWaveStream* stream) : m_stream(stream) {
    std::lock_guard<std::recursive_mutex> lock(g_adapters_mutex);
    Adapters().push_back(this);
}

StreamAdapter::~StreamAdapter() {
    // Waits for an edit in progress: the lock it holds may be this adapter's. The stream
    // stops being current here, with its lock, so that no edit reaches it unlocked after.
    std::lock_guard<std::recursive_mutex> lock(g_adapters_mutex);
    ReleaseCurrentStream(m_stream);
    auto& adapters = Adapters();
    adapters.erase(std::remove(adapters.begin(), adapters.end(), this), adapters.end());
}

void StreamAdapter::Init(LONGLONG length) {
    CAutoLock lock(&m_lock);
    m_length = std::max<LONGLONG>(length, 0);
    m_position = 0;
}

HRESULT StreamAdapter::SetPointer(LONGLONG position) {
    // The virtual file is addressed in 32 bits; a position beyond cannot be in it.
    if (position < 0 || position > std::numeric_limits<uint32_t>::max()) return S_FALSE;
    CAutoLock lock(&m_lock);
    if (!m_stream->Seek(static_cast<uint32_t>(position), false)) return S_FALSE;
    m_position = position;
    return S_OK;
}

HRESULT StreamAdapter::Read(BYTE* buffer, DWORD count, BOOL /*aligned*/, DWORD* read) {
    CAutoLock lock(&m_lock);
    const uint32_t before = m_stream->GetPosition();
    const uint32_t got = count > 0 && buffer ? m_stream->Read(buffer, count) : 0;
    // A read that ends exactly where the header does leaves the source where the header's
    // own bytes map; the samples must start where byte 44 maps (they differ for a negative
    // offset), so processing restarts there.
    constexpr uint32_t kHeader = StretchedWaveStream::kHeaderLength;
    if (before < kHeader && m_stream->GetPosition() == kHeader) m_stream->Seek(kHeader, true);
    m_position += got;
    if (read) *read = got;
    return got < count ? S_FALSE : S_OK;
}

LONGLONG StreamAdapter::Size(LONGLONG* available) {
    if (available) *available = 0;
    return m_length.load();
}

LONGLONG StreamAdapter::Position() {
    CAutoLock lock(&m_lock);
    return m_position;
}

void StreamAdapter::EditCurrentStream(const std::function<void(StretchedWaveStream*)>& edit) {
    if (!edit) return;
    std::lock_guard<std::recursive_mutex> registry(g_adapters_mutex);
    StretchedWaveStream* const stream = CurrentStream();
    StreamAdapter* reader = nullptr;
    for (StreamAdapter* adapter : Adapters()) {
        if (stream && adapter->m_stream == stream) reader = adapter;
    }
    CAutoLock lock(reader ? &reader->m_lock : nullptr);
    edit(stream);
}
