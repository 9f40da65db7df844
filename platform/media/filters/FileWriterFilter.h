// FileWriterFilter: the stock "File Writer" (CLSID_FileWriter). Its one input pin "in" takes
// any media type and writes each sample's bytes into the file named through IFileSinkFilter:
// a connection of MEDIATYPE_Stream writes each sample at the byte position its start time
// gives (a multiplexer stamps its blocks that way, and may come back to fill in a header),
// any other type appends the samples in the order they come. A Stream sample without a time
// goes just past the previous one.
// The file is created (emptied when it exists) when the filter leaves Stopped, and closed on
// Stop. A failed write ends the stream: the graph hears EC_ERRORABORT with the reason, and
// upstream gets the failure for that sample and every one after it.
// The base renderer does the rest: a pause holds the first sample, the end of the stream gives
// EC_COMPLETE once running, seeking passes upstream. Samples never wait for the clock.
// Order of use: SetFileName, connect, pause / run, stop; a new name only while stopped.
// Threading: SetFileName, GetCurFile and the state calls on the control thread under the
// filter lock; samples are written on the upstream thread under that lock as well (see
// CBaseRenderer::DoRenderSample), so the file never changes under a write.
#pragma once

#include <string>

#include "platform/media/base/CBaseRenderer.h"
#include "platform/media/base/CMediaType.h"
#include "platform/media/filters/SinkFile.h"
#include "platform/media/strmif.h"

class FileWriterFilter : public CBaseRenderer, public IFileSinkFilter {
public:
    FileWriterFilter();
    ~FileWriterFilter() override;

    // The class factory's creator (CFactoryTemplate).
    static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* hr);

    DECLARE_IUNKNOWN
    // The renderer's interfaces and IFileSinkFilter.
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // IFileSinkFilter. SetFileName: E_POINTER for null, HRESULT_FROM_WIN32(ERROR_INVALID_NAME)
    // for an empty name, VFW_E_NOT_STOPPED while the file is open; the type is optional.
    HRESULT SetFileName(LPCOLESTR file_name, const AM_MEDIA_TYPE* type) override;
    // The name in task memory (null before SetFileName). The type, when asked for: the one
    // given with the name, else the input's connection type (empty while unconnected).
    HRESULT GetCurFile(LPOLESTR* file_name, AM_MEDIA_TYPE* type) override;

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;
    HRESULT ShouldDrawSampleNow(IMediaSample* sample, REFERENCE_TIME* start,
                                REFERENCE_TIME* stop) override;

protected:
    // Leaving Stopped: HRESULT_FROM_WIN32(ERROR_INVALID_NAME) without a file name, the
    // reason the file cannot be created otherwise (the filter then stays stopped).
    HRESULT Activate() override;
    HRESULT Deactivate() override;

private:
    // Under the filter lock: records the failure and tells the graph, once per run.
    HRESULT Fail(LONG status);

    std::u16string m_file_name;
    CMediaType m_file_type;
    bool m_has_file_type = false;
    SinkFile m_file;
    HRESULT m_write_error = S_OK;  // the first failure since the filter left Stopped
};
