// DmoWrapperFilter: the DMO wrapper filter (CLSID_DMOWrapperFilter), which turns a media
// object into a filter. Init creates the object with CoCreateInstance and gives the filter an
// input pin "in<N>" per input stream and an output pin "out<N>" per output stream. Streaming:
// a received sample is wrapped as an IMediaBuffer (no copy) and given to ProcessInput with
// its times; ProcessOutput then fills buffers from the output pins' allocators until the
// object has nothing more, and each filled buffer goes downstream with the times the object
// gave it (no time when it gave none). End of stream on every input: Discontinuity, drain,
// then end of stream downstream. A flush empties the object (Flush). Pausing from stopped
// calls AllocateStreamingResources, stopping FreeStreamingResources.
// Interfaces the filter itself does not have are asked of the object, so a caller reaches the
// object's own controls (IMediaObject, IAudioGain...) through the filter.
// Order of use: create, Init once, add to a graph, connect the inputs, then the outputs.
// Threading: Init on the creating thread before anything else. State and connection calls on
// the control thread under the filter lock; every call into the object while streaming is
// under the streaming lock (taken after the filter lock, never before it).
#pragma once

#include <memory>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/media/base/CBaseFilter.h"
#include "platform/media/dmo.h"
#include "platform/media/dmodshow.h"
#include "platform/media/dmowrapper/DmoInputPin.h"
#include "platform/media/dmowrapper/DmoOutputPin.h"
#include "platform/sync/CCritSec.h"

class DmoWrapperFilter : public CBaseFilter, public IDMOWrapperFilter {
public:
    DmoWrapperFilter();
    ~DmoWrapperFilter() override;

    static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* hr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // E_UNEXPECTED when already initialised; REGDB_E_CLASSNOTREG when `category` does not
    // list the object; the failure of CoCreateInstance or of the object's stream count
    // otherwise. After a failure the filter stays without object and pins, and may be
    // initialised again.
    HRESULT Init(REFCLSID dmo, REFCLSID category) override;
    // The category of the successful Init; GUID_NULL before it.
    GUID Category() const;

    int GetPinCount() override;
    CBasePin* GetPin(int index) override;

    // ---- for the pins ----
    IMediaObject* MediaObject() const { return m_object.Get(); }
    DmoInputPin* InputPin(DWORD stream) const;
    HRESULT ProcessSample(DWORD stream, IMediaSample* sample);
    HRESULT EndOfInput(DWORD stream);
    HRESULT BeginFlushing();
    HRESULT EndFlushing();
    HRESULT PassNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);
    // The largest buffer agreed on any connected input, in bytes (0 when none).
    long LargestInputBuffer() const;

protected:
    HRESULT Activate() override;
    HRESULT Deactivate() override;

private:
    // ProcessOutput until the object has nothing more for any output.
    HRESULT DrainOutput();
    // One ProcessOutput round; `more` tells whether the object has more to give.
    HRESULT ProcessOutputOnce(bool* more);
    HRESULT DeliverOutput(DmoOutputPin* pin, IMediaSample* sample,
                          const DMO_OUTPUT_DATA_BUFFER& output);

    mutable CCritSec m_filter_lock;
    ComPtr<IMediaObject> m_object;
    GUID m_category = GUID_NULL;
    std::vector<std::unique_ptr<DmoInputPin>> m_inputs;
    std::vector<std::unique_ptr<DmoOutputPin>> m_outputs;

    CCritSec m_streaming_lock;     // guards the object while streaming, and the flags below
    bool m_streaming = false;      // AllocateStreamingResources succeeded
    bool m_discontinuity = false;  // the next output sample follows a break in the input
    std::vector<bool> m_ended;     // per input: end of stream seen since the last flush or start
};
