#include "engine/AsyncReadRequest.h"

namespace {

// Holds a byte stream's lock for a scope.
class StreamLock {
public:
    explicit StreamLock(AsyncReadQueue::ByteStream* stream) : m_stream(stream) { m_stream->Lock(); }
    ~StreamLock() { m_stream->Unlock(); }
    StreamLock(const StreamLock&) = delete;
    StreamLock& operator=(const StreamLock&) = delete;

private:
    AsyncReadQueue::ByteStream* const m_stream;
};

}  // namespace

AsyncReadRequest::AsyncReadRequest(AsyncReadQueue::ByteStream* stream, LONGLONG position,
                                   LONG length, bool aligned, BYTE* buffer, IMediaSample* context,
                                   DWORD_PTR user)
    : m_stream(stream),
      m_position(position),
      m_aligned(aligned),
      m_length(length),
      m_buffer(buffer),
      m_context(context),
      m_user(user) {}

void AsyncReadRequest::Complete() {
    StreamLock lock(m_stream);
    HRESULT hr = m_stream->SetPointer(m_position);
    if (hr != S_OK) {
        // Nothing was read: no byte of the buffer may count as data.
        m_length = 0;
        m_result = hr;
        return;
    }
    DWORD read = 0;
    hr = m_stream->Read(m_buffer, static_cast<DWORD>(m_length), m_aligned ? TRUE : FALSE, &read);
    if (hr == AsyncReadQueue::ByteStream::OLE_S_FIRST && m_context) {
        m_context->SetDiscontinuity(TRUE);
        hr = S_OK;
    }
    if (FAILED(hr)) {
        m_length = 0;
        m_result = hr;
        return;
    }
    m_stream_ended = hr == S_FALSE;
    if (read < static_cast<DWORD>(m_length)) {
        m_length = static_cast<LONG>(read);
        m_result = S_FALSE;
    } else {
        m_result = S_OK;
    }
}
