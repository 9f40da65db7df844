// The streaming interfaces of the media framework: filters, pins, media types, samples and
// allocators, the reference clock, the asynchronous reader, file source and sink, the filter
// graph and builder, the filter mappers and seeking. Names, parameter orders, results and
// identifier values are those a DirectShow programmer knows.
//
// Rules every implementation keeps: out pointers are checked (E_POINTER); interface pointers
// handed out are AddRef'ed, including PIN_INFO::pFilter and FILTER_INFO::pGraph; memory handed
// out (ids, names, media type blocks) is task memory (CoTaskMemAlloc) that the caller frees.
// Times are REFERENCE_TIME: 100 ns units, so 10,000,000 is one second.
// Threading: lock order graph -> filter -> streaming. Control calls (state, connection) come
// from the application thread; Receive, EndOfStream and the reader's calls come from streaming
// threads; BeginFlush/EndFlush come from the control thread and must release streaming threads.
#pragma once

#include "platform/com/ComErrors.h"
#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"
#include "platform/com/VfwErrors.h"
#include "platform/com/WideChar.h"
#include "platform/media/objidl.h"
#include "platform/media/wtypes.h"

using REFERENCE_TIME = LONGLONG;
using REFTIME = double;
using HEVENT = DWORD_PTR;      // an event HANDLE passed as an integer
using HSEMAPHORE = DWORD_PTR;  // a semaphore HANDLE passed as an integer

constexpr int MAX_PIN_NAME = 128;
constexpr int MAX_FILTER_NAME = 128;
constexpr REFERENCE_TIME MAX_TIME = 0x7FFFFFFFFFFFFFFF;

// ---- interface identifiers ----------------------------------------------------------------
inline constexpr GUID IID_IPin = MakeGuid("56A86891-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IEnumPins = MakeGuid("56A86892-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IEnumFilters = MakeGuid("56A86893-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IBaseFilter = MakeGuid("56A86895-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IReferenceClock = MakeGuid("56A86897-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IMediaFilter = MakeGuid("56A86899-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IMediaSample = MakeGuid("56A8689A-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IMemAllocator = MakeGuid("56A8689C-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IMemInputPin = MakeGuid("56A8689D-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IFilterGraph = MakeGuid("56A8689F-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IMediaEventSink = MakeGuid("56A868A2-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IFilterMapper = MakeGuid("56A868A3-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IEnumRegFilters = MakeGuid("56A868A4-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IQualityControl = MakeGuid("56A868A5-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IFileSourceFilter = MakeGuid("56A868A6-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IGraphBuilder = MakeGuid("56A868A9-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IAsyncReader = MakeGuid("56A868AA-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr GUID IID_IEnumMediaTypes = MakeGuid("89C31040-846B-11CE-97D3-00AA0055595A");
inline constexpr GUID IID_IFileSinkFilter = MakeGuid("A2104830-7C70-11CF-8BCE-00AA00A3F1A6");
inline constexpr GUID IID_IMediaSeeking = MakeGuid("36B73880-C2C8-11CF-8B46-00805F6CEF60");
inline constexpr GUID IID_IAMovieSetup = MakeGuid("A3D8CEC0-7E5A-11CF-BBC5-00805F6CEF20");
inline constexpr GUID IID_IFilterMapper2 = MakeGuid("B79BB0B0-33C1-11D1-ABE1-00A0C905F375");

// ---- records -----------------------------------------------------------------------------

// A media type. The format block (pbFormat, cbFormat bytes) and pUnk belong to the record:
// free them with FreeMediaType; a record handed out whole comes from CreateMediaType and goes
// back with DeleteMediaType.
struct AM_MEDIA_TYPE {
    GUID majortype;
    GUID subtype;
    BOOL bFixedSizeSamples;
    BOOL bTemporalCompression;
    ULONG lSampleSize;
    GUID formattype;
    IUnknown* pUnk;
    ULONG cbFormat;
    BYTE* pbFormat;
};

struct ALLOCATOR_PROPERTIES {
    long cBuffers;
    long cbBuffer;
    long cbAlign;
    long cbPrefix;
};

enum PIN_DIRECTION { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };

enum FILTER_STATE { State_Stopped = 0, State_Paused = 1, State_Running = 2 };

struct IBaseFilter;
struct IFilterGraph;

struct PIN_INFO {
    IBaseFilter* pFilter;  // AddRef'ed by QueryPinInfo: release it
    PIN_DIRECTION dir;
    WCHAR achName[MAX_PIN_NAME];
};

struct FILTER_INFO {
    WCHAR achName[MAX_FILTER_NAME];
    IFilterGraph* pGraph;  // AddRef'ed by QueryFilterInfo when not null: release it
};

enum QualityMessageType { Famine = 0, Flood = 1 };

struct Quality {
    QualityMessageType Type;
    long Proportion;  // 1000 = exactly the wanted rate
    REFERENCE_TIME Late;
    REFERENCE_TIME TimeStamp;
};

// IMemAllocator::GetBuffer flags.
constexpr DWORD AM_GBF_PREVFRAMESKIPPED = 1;
constexpr DWORD AM_GBF_NOTASYNCPOINT = 2;
constexpr DWORD AM_GBF_NOWAIT = 4;
constexpr DWORD AM_GBF_NODDSURFACELOCK = 8;

// ---- enumerators ---------------------------------------------------------------------------

struct IPin;

// Next returns S_OK when `count` items came, S_FALSE when fewer did; enumerators that see the
// set change underneath answer VFW_E_ENUM_OUT_OF_SYNC until Reset.
struct IEnumPins : public IUnknown {
    virtual HRESULT Next(ULONG count, IPin** pins, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumPins** clone) = 0;
};

// Each media type handed out is a CreateMediaType record: the caller deletes it.
struct IEnumMediaTypes : public IUnknown {
    virtual HRESULT Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumMediaTypes** clone) = 0;
};

struct IEnumFilters : public IUnknown {
    virtual HRESULT Next(ULONG count, IBaseFilter** filters, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumFilters** clone) = 0;
};

// ---- clock, samples, allocators ------------------------------------------------------------

struct IReferenceClock : public IUnknown {
    virtual HRESULT GetTime(REFERENCE_TIME* time) = 0;
    // Sets the event once the clock reaches base_time + stream_time.
    virtual HRESULT AdviseTime(REFERENCE_TIME base_time, REFERENCE_TIME stream_time, HEVENT event,
                               DWORD_PTR* cookie) = 0;
    // Releases the semaphore at start_time and then every period_time.
    virtual HRESULT AdvisePeriodic(REFERENCE_TIME start_time, REFERENCE_TIME period_time,
                                   HSEMAPHORE semaphore, DWORD_PTR* cookie) = 0;
    virtual HRESULT Unadvise(DWORD_PTR cookie) = 0;
};

struct IMediaSample : public IUnknown {
    virtual HRESULT GetPointer(BYTE** buffer) = 0;
    virtual long GetSize() = 0;
    // S_OK with both times, VFW_S_NO_STOP_TIME with only the start (stop = start + 1),
    // VFW_E_SAMPLE_TIME_NOT_SET without times.
    virtual HRESULT GetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) = 0;
    // Null start clears the times; null stop sets the start only.
    virtual HRESULT SetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) = 0;
    virtual HRESULT IsSyncPoint() = 0;
    virtual HRESULT SetSyncPoint(BOOL sync_point) = 0;
    virtual HRESULT IsPreroll() = 0;
    virtual HRESULT SetPreroll(BOOL preroll) = 0;
    virtual long GetActualDataLength() = 0;
    virtual HRESULT SetActualDataLength(long length) = 0;
    // S_FALSE and null when the type did not change; otherwise a CreateMediaType record.
    virtual HRESULT GetMediaType(AM_MEDIA_TYPE** type) = 0;
    virtual HRESULT SetMediaType(AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT IsDiscontinuity() = 0;
    virtual HRESULT SetDiscontinuity(BOOL discontinuity) = 0;
    virtual HRESULT GetMediaTime(LONGLONG* start, LONGLONG* stop) = 0;
    virtual HRESULT SetMediaTime(LONGLONG* start, LONGLONG* stop) = 0;
};

struct IMemAllocator : public IUnknown {
    // Only while decommitted with no buffer out; `actual` receives what was granted.
    virtual HRESULT SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) = 0;
    virtual HRESULT GetProperties(ALLOCATOR_PROPERTIES* properties) = 0;
    virtual HRESULT Commit() = 0;
    // Makes every waiting and later GetBuffer fail with VFW_E_NOT_COMMITTED; buffers out are
    // freed when they come back.
    virtual HRESULT Decommit() = 0;
    virtual HRESULT GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop,
                              DWORD flags) = 0;
    virtual HRESULT ReleaseBuffer(IMediaSample* sample) = 0;
};

struct IMemInputPin : public IUnknown {
    virtual HRESULT GetAllocator(IMemAllocator** allocator) = 0;
    virtual HRESULT NotifyAllocator(IMemAllocator* allocator, BOOL read_only) = 0;
    virtual HRESULT GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) = 0;
    // S_OK to go on; S_FALSE (end of stream, flushing) or a failure to stop delivering.
    virtual HRESULT Receive(IMediaSample* sample) = 0;
    virtual HRESULT ReceiveMultiple(IMediaSample** samples, long count, long* processed) = 0;
    virtual HRESULT ReceiveCanBlock() = 0;
};

// ---- filters and pins ---------------------------------------------------------------------

struct IMediaFilter : public IPersist {
    virtual HRESULT Stop() = 0;
    virtual HRESULT Pause() = 0;
    // `start` is the reference time that stream time 0 maps to.
    virtual HRESULT Run(REFERENCE_TIME start) = 0;
    // VFW_S_STATE_INTERMEDIATE while a transition is under way after `milliseconds`.
    virtual HRESULT GetState(DWORD milliseconds, FILTER_STATE* state) = 0;
    virtual HRESULT SetSyncSource(IReferenceClock* clock) = 0;
    // S_OK and the clock AddRef'ed, or S_OK and null when the filter has none.
    virtual HRESULT GetSyncSource(IReferenceClock** clock) = 0;
};

struct IBaseFilter : public IMediaFilter {
    virtual HRESULT EnumPins(IEnumPins** pins) = 0;
    virtual HRESULT FindPin(LPCWSTR id, IPin** pin) = 0;
    virtual HRESULT QueryFilterInfo(FILTER_INFO* info) = 0;
    // The graph calls it with the name it gave; a null graph takes the filter out. The filter
    // does not AddRef the graph (the graph holds the filter).
    virtual HRESULT JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) = 0;
    virtual HRESULT QueryVendorInfo(LPWSTR* vendor_info) = 0;
};

struct IPin : public IUnknown {
    // Called on an output pin; `type` may be null or partial.
    virtual HRESULT Connect(IPin* receive_pin, const AM_MEDIA_TYPE* type) = 0;
    // Called on an input pin by the connecting output pin, with a complete type.
    virtual HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT Disconnect() = 0;
    // VFW_E_NOT_CONNECTED and null when not connected.
    virtual HRESULT ConnectedTo(IPin** pin) = 0;
    // Fills the caller's record (free its format block with FreeMediaType).
    virtual HRESULT ConnectionMediaType(AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT QueryPinInfo(PIN_INFO* info) = 0;
    virtual HRESULT QueryDirection(PIN_DIRECTION* direction) = 0;
    virtual HRESULT QueryId(LPWSTR* id) = 0;
    virtual HRESULT QueryAccept(const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT EnumMediaTypes(IEnumMediaTypes** types) = 0;
    virtual HRESULT QueryInternalConnections(IPin** pins, ULONG* count) = 0;
    virtual HRESULT EndOfStream() = 0;
    virtual HRESULT BeginFlush() = 0;
    virtual HRESULT EndFlush() = 0;
    virtual HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) = 0;
};

struct IQualityControl : public IUnknown {
    virtual HRESULT Notify(IBaseFilter* self, Quality quality) = 0;
    virtual HRESULT SetSink(IQualityControl* sink) = 0;
};

// The graph's side of filter events: renderers notify EC_COMPLETE through it.
struct IMediaEventSink : public IUnknown {
    virtual HRESULT Notify(long code, LONG_PTR param1, LONG_PTR param2) = 0;
};

struct IAMovieSetup : public IUnknown {
    virtual HRESULT Register() = 0;
    virtual HRESULT Unregister() = 0;
};

// ---- reading and file names ----------------------------------------------------------------

// A byte source that a parser pulls from. Sample times carry byte positions: start / 10,000,000
// is the first byte and (stop - start) / 10,000,000 the count.
struct IAsyncReader : public IUnknown {
    virtual HRESULT RequestAllocator(IMemAllocator* preferred, ALLOCATOR_PROPERTIES* properties,
                                     IMemAllocator** actual) = 0;
    virtual HRESULT Request(IMediaSample* sample, DWORD_PTR user) = 0;
    virtual HRESULT WaitForNext(DWORD milliseconds, IMediaSample** sample, DWORD_PTR* user) = 0;
    virtual HRESULT SyncReadAligned(IMediaSample* sample) = 0;
    virtual HRESULT SyncRead(LONGLONG position, LONG length, BYTE* buffer) = 0;
    virtual HRESULT Length(LONGLONG* total, LONGLONG* available) = 0;
    virtual HRESULT BeginFlush() = 0;
    virtual HRESULT EndFlush() = 0;
};

struct IFileSourceFilter : public IUnknown {
    virtual HRESULT Load(LPCOLESTR file_name, const AM_MEDIA_TYPE* type) = 0;
    // The name in task memory (null when none is loaded); the type filled when asked for.
    virtual HRESULT GetCurFile(LPOLESTR* file_name, AM_MEDIA_TYPE* type) = 0;
};

struct IFileSinkFilter : public IUnknown {
    virtual HRESULT SetFileName(LPCOLESTR file_name, const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT GetCurFile(LPOLESTR* file_name, AM_MEDIA_TYPE* type) = 0;
};

// ---- the graph ---------------------------------------------------------------------------

struct IFilterGraph : public IUnknown {
    // VFW_S_DUPLICATE_NAME when the name was taken and another one given.
    virtual HRESULT AddFilter(IBaseFilter* filter, LPCWSTR name) = 0;
    virtual HRESULT RemoveFilter(IBaseFilter* filter) = 0;
    virtual HRESULT EnumFilters(IEnumFilters** filters) = 0;
    virtual HRESULT FindFilterByName(LPCWSTR name, IBaseFilter** filter) = 0;
    virtual HRESULT ConnectDirect(IPin* output, IPin* input, const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT Reconnect(IPin* pin) = 0;
    virtual HRESULT Disconnect(IPin* pin) = 0;
    virtual HRESULT SetDefaultSyncSource() = 0;
};

struct IGraphBuilder : public IFilterGraph {
    // May insert intermediate filters.
    virtual HRESULT Connect(IPin* output, IPin* input) = 0;
    virtual HRESULT Render(IPin* output) = 0;
    virtual HRESULT RenderFile(LPCWSTR file, LPCWSTR play_list) = 0;
    virtual HRESULT AddSourceFilter(LPCWSTR file_name, LPCWSTR filter_name,
                                    IBaseFilter** filter) = 0;
    virtual HRESULT SetLogFile(DWORD_PTR file) = 0;
    virtual HRESULT Abort() = 0;
    virtual HRESULT ShouldOperationContinue() = 0;
};

// ---- seeking -------------------------------------------------------------------------------

enum AM_SEEKING_SeekingFlags {
    AM_SEEKING_NoPositioning = 0x0,
    AM_SEEKING_AbsolutePositioning = 0x1,
    AM_SEEKING_RelativePositioning = 0x2,
    AM_SEEKING_IncrementalPositioning = 0x3,
    AM_SEEKING_PositioningBitsMask = 0x3,
    AM_SEEKING_SeekToKeyFrame = 0x4,
    AM_SEEKING_ReturnTime = 0x8,
    AM_SEEKING_Segment = 0x10,
    AM_SEEKING_NoFlush = 0x20
};

enum AM_SEEKING_SeekingCapabilities {
    AM_SEEKING_CanSeekAbsolute = 0x1,
    AM_SEEKING_CanSeekForwards = 0x2,
    AM_SEEKING_CanSeekBackwards = 0x4,
    AM_SEEKING_CanGetCurrentPos = 0x8,
    AM_SEEKING_CanGetStopPos = 0x10,
    AM_SEEKING_CanGetDuration = 0x20,
    AM_SEEKING_CanPlayBackwards = 0x40,
    AM_SEEKING_CanDoSegments = 0x80,
    AM_SEEKING_Source = 0x100
};

struct IMediaSeeking : public IUnknown {
    virtual HRESULT GetCapabilities(DWORD* capabilities) = 0;
    // Keeps in *capabilities those supported: S_OK all, S_FALSE some, E_FAIL none.
    virtual HRESULT CheckCapabilities(DWORD* capabilities) = 0;
    virtual HRESULT IsFormatSupported(const GUID* format) = 0;
    virtual HRESULT QueryPreferredFormat(GUID* format) = 0;
    virtual HRESULT GetTimeFormat(GUID* format) = 0;
    virtual HRESULT IsUsingTimeFormat(const GUID* format) = 0;
    virtual HRESULT SetTimeFormat(const GUID* format) = 0;
    virtual HRESULT GetDuration(LONGLONG* duration) = 0;
    virtual HRESULT GetStopPosition(LONGLONG* stop) = 0;
    virtual HRESULT GetCurrentPosition(LONGLONG* current) = 0;
    virtual HRESULT ConvertTimeFormat(LONGLONG* target, const GUID* target_format, LONGLONG source,
                                      const GUID* source_format) = 0;
    virtual HRESULT SetPositions(LONGLONG* current, DWORD current_flags, LONGLONG* stop,
                                 DWORD stop_flags) = 0;
    virtual HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) = 0;
    virtual HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) = 0;
    virtual HRESULT SetRate(double rate) = 0;
    virtual HRESULT GetRate(double* rate) = 0;
    virtual HRESULT GetPreroll(LONGLONG* preroll) = 0;
};

// ---- filter registration ------------------------------------------------------------------

enum {
    MERIT_PREFERRED = 0x800000,
    MERIT_NORMAL = 0x600000,
    MERIT_UNLIKELY = 0x400000,
    MERIT_DO_NOT_USE = 0x200000,
    MERIT_SW_COMPRESSOR = 0x100000,
    MERIT_HW_COMPRESSOR = 0x100050
};

struct REGPINTYPES {
    const CLSID* clsMajorType;
    const CLSID* clsMinorType;
};

// strName is const here so that tables can be built from literals.
struct REGFILTERPINS {
    LPCWSTR strName;
    BOOL bRendered;
    BOOL bOutput;
    BOOL bZero;
    BOOL bMany;
    const CLSID* clsConnectsToFilter;
    const WCHAR* strConnectsToPin;
    UINT nMediaTypes;
    const REGPINTYPES* lpMediaType;
};

struct REGPINMEDIUM {
    CLSID clsMedium;
    DWORD dw1;
    DWORD dw2;
};

enum {
    REG_PINFLAG_B_ZERO = 0x1,
    REG_PINFLAG_B_RENDERER = 0x2,
    REG_PINFLAG_B_MANY = 0x4,
    REG_PINFLAG_B_OUTPUT = 0x8
};

struct REGFILTERPINS2 {
    DWORD dwFlags;
    UINT cInstances;
    UINT nMediaTypes;
    const REGPINTYPES* lpMediaType;
    UINT nMediums;
    const REGPINMEDIUM* lpMedium;
    const CLSID* clsPinCategory;
};

// dwVersion 1 uses cPins/rgPins, version 2 cPins2/rgPins2 (side by side rather than in an
// anonymous union, which standard C++ does not have).
struct REGFILTER2 {
    DWORD dwVersion;
    DWORD dwMerit;
    ULONG cPins;
    const REGFILTERPINS* rgPins;
    ULONG cPins2;
    const REGFILTERPINS2* rgPins2;
};

// What the older mapper's enumerator hands out (one task-memory block with the name inside).
struct REGFILTER {
    CLSID Clsid;
    LPWSTR Name;
};

struct IEnumRegFilters : public IUnknown {
    virtual HRESULT Next(ULONG count, REGFILTER** filters, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumRegFilters** clone) = 0;
};

struct IFilterMapper : public IUnknown {
    virtual HRESULT RegisterFilter(CLSID clsid, LPCWSTR name, DWORD merit) = 0;
    virtual HRESULT RegisterFilterInstance(CLSID clsid, LPCWSTR name, CLSID* instance_id) = 0;
    virtual HRESULT RegisterPin(CLSID filter, LPCWSTR name, BOOL rendered, BOOL output, BOOL zero,
                                BOOL many, CLSID connects_to_filter, LPCWSTR connects_to_pin) = 0;
    virtual HRESULT RegisterPinType(CLSID filter, LPCWSTR pin_name, CLSID major_type,
                                    CLSID sub_type) = 0;
    virtual HRESULT UnregisterFilter(CLSID filter) = 0;
    virtual HRESULT UnregisterFilterInstance(CLSID instance_id) = 0;
    virtual HRESULT UnregisterPin(CLSID filter, LPCWSTR name) = 0;
    virtual HRESULT EnumMatchingFilters(IEnumRegFilters** filters, DWORD merit, BOOL input_needed,
                                        CLSID input_major, CLSID input_sub, BOOL render,
                                        BOOL output_needed, CLSID output_major,
                                        CLSID output_sub) = 0;
};

struct IFilterMapper2 : public IUnknown {
    virtual HRESULT CreateCategory(REFCLSID category, DWORD category_merit,
                                   LPCWSTR description) = 0;
    // A null category means the default one (CLSID_LegacyAmFilterCategory); a null instance
    // means the filter's class identifier text.
    virtual HRESULT UnregisterFilter(const CLSID* category, LPCOLESTR instance,
                                     REFCLSID filter) = 0;
    virtual HRESULT RegisterFilter(REFCLSID filter, LPCWSTR name, IMoniker** moniker,
                                   const CLSID* category, LPCOLESTR instance,
                                   const REGFILTER2* registration) = 0;
    virtual HRESULT EnumMatchingFilters(IEnumMoniker** filters, DWORD flags, BOOL exact_match,
                                        DWORD merit, BOOL input_needed, DWORD input_type_count,
                                        const GUID* input_types, const REGPINMEDIUM* input_medium,
                                        const CLSID* input_category, BOOL render,
                                        BOOL output_needed, DWORD output_type_count,
                                        const GUID* output_types, const REGPINMEDIUM* output_medium,
                                        const CLSID* output_category) = 0;
};

TKV_DECLARE_IID(IPin, IID_IPin);
TKV_DECLARE_IID(IEnumPins, IID_IEnumPins);
TKV_DECLARE_IID(IEnumMediaTypes, IID_IEnumMediaTypes);
TKV_DECLARE_IID(IEnumFilters, IID_IEnumFilters);
TKV_DECLARE_IID(IReferenceClock, IID_IReferenceClock);
TKV_DECLARE_IID(IMediaSample, IID_IMediaSample);
TKV_DECLARE_IID(IMemAllocator, IID_IMemAllocator);
TKV_DECLARE_IID(IMemInputPin, IID_IMemInputPin);
TKV_DECLARE_IID(IMediaFilter, IID_IMediaFilter);
TKV_DECLARE_IID(IBaseFilter, IID_IBaseFilter);
TKV_DECLARE_IID(IQualityControl, IID_IQualityControl);
TKV_DECLARE_IID(IMediaEventSink, IID_IMediaEventSink);
TKV_DECLARE_IID(IAMovieSetup, IID_IAMovieSetup);
TKV_DECLARE_IID(IAsyncReader, IID_IAsyncReader);
TKV_DECLARE_IID(IFileSourceFilter, IID_IFileSourceFilter);
TKV_DECLARE_IID(IFileSinkFilter, IID_IFileSinkFilter);
TKV_DECLARE_IID(IFilterGraph, IID_IFilterGraph);
TKV_DECLARE_IID(IGraphBuilder, IID_IGraphBuilder);
TKV_DECLARE_IID(IMediaSeeking, IID_IMediaSeeking);
TKV_DECLARE_IID(IEnumRegFilters, IID_IEnumRegFilters);
TKV_DECLARE_IID(IFilterMapper, IID_IFilterMapper);
TKV_DECLARE_IID(IFilterMapper2, IID_IFilterMapper2);
