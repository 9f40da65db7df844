#include "platform/media/splitter/AsyncReaderIo.h"

#include <algorithm>
#include <cerrno>
#include <climits>

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

namespace {

// FFmpeg's read-ahead; a multiple of the file source's alignment.
constexpr int kBufferSize = 64 * 1024;

}  // namespace

AsyncReaderIo::AsyncReaderIo(IAsyncReader* reader) : m_reader(reader) {}

AsyncReaderIo::~AsyncReaderIo() {
    if (!m_context) return;
    av_freep(&m_context->buffer);
    avio_context_free(&m_context);
}

bool AsyncReaderIo::Open() {
    LONGLONG total = 0;
    LONGLONG available = 0;
    if (!m_reader || FAILED(m_reader->Length(&total, &available)) || total <= 0) return false;
    m_length = total;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (!buffer) return false;
    m_context = avio_alloc_context(buffer, kBufferSize, 0, this, &AsyncReaderIo::ReadPacket,
                                   nullptr, &AsyncReaderIo::Seek);
    if (!m_context) {
        av_free(buffer);
        return false;
    }
    return true;
}

int AsyncReaderIo::ReadPacket(void* opaque, uint8_t* buffer, int size) {
    return static_cast<AsyncReaderIo*>(opaque)->Read(buffer, size);
}

int64_t AsyncReaderIo::Seek(void* opaque, int64_t offset, int whence) {
    return static_cast<AsyncReaderIo*>(opaque)->MoveTo(offset, whence);
}

int AsyncReaderIo::Read(uint8_t* buffer, int size) {
    const int64_t left = m_length - m_position;
    if (left <= 0 || size <= 0) return AVERROR_EOF;
    const auto count = static_cast<LONG>(std::min<int64_t>({left, size, INT_MAX}));
    const HRESULT hr = m_reader->SyncRead(m_position, count, buffer);
    // S_FALSE: the file ended before the length it claimed (it is being cut short).
    if (hr != S_OK) return hr == S_FALSE ? AVERROR_EOF : AVERROR(EIO);
    m_position += count;
    return static_cast<int>(count);
}

int64_t AsyncReaderIo::MoveTo(int64_t offset, int whence) {
    switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE:
            return m_length;
        case SEEK_SET:
            break;
        case SEEK_CUR:
            offset += m_position;
            break;
        case SEEK_END:
            offset += m_length;
            break;
        default:
            return AVERROR(EINVAL);
    }
    if (offset < 0) return AVERROR(EINVAL);
    m_position = offset;
    return m_position;
}
