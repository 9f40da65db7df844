// AsyncFileSource: the stock "File Source (Async.)" filter (CLSID_AsyncReader). Given a file
// through IFileSourceFilter::Load, it offers the file's bytes on its one output pin "Output"
// (MEDIATYPE_Stream, subtype by the file's kind) through IAsyncReader, for a parser to pull.
// Before Load the filter has no pin.
// Order of use: create, Load, connect the pin to a parser, run; Load again only while the pin
// is not connected.
// Threading: Load and GetCurFile on the control thread under the filter lock; reads come on
// the parser's streaming thread and go to the request queue (AsyncFileOutputPin).
#pragma once

#include <memory>
#include <string>

#include "platform/media/base/CBaseFilter.h"
#include "platform/media/base/CMediaType.h"
#include "platform/media/filters/AsyncFileOutputPin.h"
#include "platform/media/filters/AsyncRequestQueue.h"
#include "platform/media/filters/ReadOnlyFile.h"
#include "platform/media/strmif.h"

class AsyncFileSource : public CBaseFilter, public IFileSourceFilter {
public:
    AsyncFileSource();
    ~AsyncFileSource() override;

    // The class factory's creator (CFactoryTemplate).
    static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* hr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    int GetPinCount() override;
    CBasePin* GetPin(int index) override;

    // IFileSourceFilter
    HRESULT Load(LPCOLESTR file_name, const AM_MEDIA_TYPE* type) override;
    HRESULT GetCurFile(LPOLESTR* file_name, AM_MEDIA_TYPE* type) override;

    // For the pin.
    const CMediaType& StreamType() const { return m_type; }
    int64_t FileSize() const { return m_file.Size(); }
    AsyncRequestQueue& Queue() { return m_queue; }

private:
    CCritSec m_filter_lock;
    ReadOnlyFile m_file;
    AsyncRequestQueue m_queue;  // reads m_file
    CMediaType m_type;
    std::u16string m_file_name;
    bool m_loaded = false;
    AsyncFileOutputPin m_pin;
};
