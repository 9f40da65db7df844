// TimeStretchSource: "Tarvik Time Stretcher", the source filter that serves the source WAV,
// time-stretched by the event list, as a virtual WAV file: one output pin "Output" offers
// IAsyncReader (TimeStretchOutputPin) to a parser such as the "Wave Parser". The filter owns
// the StretchedWaveStream (constructing the filter makes it the current stream), the adapter
// that reads it and the read queue.
//
// Order of use: create (class factory or CreateInstance), IFileSourceFilter::Load with the WAV
// path, connect the pin, run. Load may come again: it opens the stream on the new file. A
// failed Load (the file cannot be opened or is not a WAV the stream takes) returns a failure
// and leaves the filter serving nothing: the pin refuses connections and reads until a Load
// succeeds.
// A failed Load tells the user of a file too long once it has released its locks.
// Threading: Load, GetCurFile and the state calls on the control thread under the filter lock;
// the stream is opened under the adapter's lock too, so no read overlaps it. Reads come from
// the parser's streaming thread through the pin and the queue.
#pragma once

#include <atomic>
#include <string>

#include "engine/AsyncReadQueue.h"
#include "engine/StreamAdapter.h"
#include "engine/StretchedWaveStream.h"
#include "engine/TimeStretchOutputPin.h"
#include "platform/media/base/CBaseFilter.h"
#include "platform/media/base/CMediaType.h"
#include "platform/media/strmif.h"
#include "platform/sync/CCritSec.h"

inline constexpr GUID CLSID_TimeStretchSource = MakeGuid("C553F2C0-1529-11D0-B4D1-00805F6CBBEA");

class TimeStretchSource : public CBaseFilter, public IFileSourceFilter {
public:
    static constexpr const WCHAR* kName = u"Tarvik Time Stretcher";

    TimeStretchSource();
    ~TimeStretchSource() override;

    // The class factory's creator: a new filter with no reference yet, or null.
    static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* hr);

    DECLARE_IUNKNOWN
    // IBaseFilter and what it brings, and IFileSourceFilter.
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override;

    // IFileSourceFilter. Load: E_POINTER without a name; the open's failure as an HRESULT
    // (HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), E_ACCESSDENIED, VFW_E_INVALID_FILE_FORMAT,
    // VFW_E_UNSUPPORTED_AUDIO, E_FAIL). The type given, or stream / WAVE, is offered on the pin.
    HRESULT Load(LPCOLESTR file_name, const AM_MEDIA_TYPE* type) override;
    // The name in task memory (null before a successful Load); the type when asked for.
    HRESULT GetCurFile(LPOLESTR* file_name, AM_MEDIA_TYPE* type) override;

    // ---- for the pin ----
    // The type offered (empty while nothing is served); copy it under the filter lock.
    const CMediaType& ServedType() const { return m_type; }
    bool IsServing() const { return m_serving.load(); }
    AsyncReadQueue& Queue() { return m_queue; }

    StretchedWaveStream& Stream() { return m_stream; }
    StreamAdapter& Adapter() { return m_adapter; }

private:
    // Opens the stream under the read lock; the size served, or a failure.
    HRESULT OpenStream(const std::string& path, LONGLONG* size);

    CCritSec m_filter_lock;
    // Declared in this order so that the queue's worker has ended before the adapter and the
    // stream it reads go.
    StretchedWaveStream m_stream;
    StreamAdapter m_adapter;
    AsyncReadQueue m_queue;
    // Under the filter lock.
    CMediaType m_type;
    std::u16string m_file_name;  // empty: none
    LONGLONG m_size = 0;
    std::atomic<bool> m_serving{false};
    TimeStretchOutputPin m_pin;
};
