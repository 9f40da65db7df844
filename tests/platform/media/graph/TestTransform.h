// Filters that only connect, for the graph's building tests: a transform whose input takes
// one type and whose output offers another (a parser, a decoder), and a file source whose
// output offers a stream type. They carry no data.
#pragma once

#include <string>

#include "platform/media/base/CBaseFilter.h"
#include "platform/media/base/CBaseInputPin.h"
#include "platform/media/base/CBaseOutputPin.h"

// A pin of either direction that takes or offers one (major, minor) type; GUID_NULL as the
// minor type takes any.
class TypedInputPin : public CBaseInputPin {
public:
    TypedInputPin(CBaseFilter* filter, CCritSec* lock, const GUID& major, const GUID& minor);
    HRESULT CheckMediaType(const CMediaType* type) override;

private:
    const GUID m_major;
    const GUID m_minor;
};

class TypedOutputPin : public CBaseOutputPin {
public:
    TypedOutputPin(CBaseFilter* filter, CCritSec* lock, const GUID& major, const GUID& minor);
    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

private:
    const GUID m_major;
    const GUID m_minor;
};

class TestTransform : public CBaseFilter {
public:
    TestTransform(REFCLSID clsid, const GUID& in_major, const GUID& in_minor, const GUID& out_major,
                  const GUID& out_minor);

    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int index) override;

private:
    CCritSec m_filter_lock;
    TypedInputPin m_input;
    TypedOutputPin m_output;
};

class TestFileSource : public CBaseFilter, public IFileSourceFilter {
public:
    TestFileSource(REFCLSID clsid, const GUID& major, const GUID& minor);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override { return index == 0 ? &m_output : nullptr; }

    // Refuses names that contain "missing", as a real source refuses a missing file.
    HRESULT Load(LPCOLESTR file_name, const AM_MEDIA_TYPE* type) override;
    HRESULT GetCurFile(LPOLESTR* file_name, AM_MEDIA_TYPE* type) override;

private:
    CCritSec m_filter_lock;
    TypedOutputPin m_output;
    std::u16string m_file;
};
