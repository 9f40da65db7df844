// CBasePin: IPin with the connection protocol. An output pin's Connect tries the type it was
// given when that type is complete; otherwise the receiving pin's preferred types, then its
// own (GetMediaType), keeping those that match a partial type. Each attempt runs:
//   CheckConnect(peer) -> CheckMediaType(type) == S_OK -> SetMediaType(type)
//   -> peer->ReceiveConnection(this, type) -> CompleteConnect(peer)
// and a failure anywhere undoes it with BreakConnect. The receiving side runs CheckConnect,
// CheckMediaType, SetMediaType and CompleteConnect in ReceiveConnection. Connections change
// only while the filter is stopped (VFW_E_NOT_STOPPED otherwise).
//
// A pin lives inside its filter and shares the filter's reference count: AddRef and Release
// go to the filter, so a pin handed out keeps its filter alive. The connected peer is held
// with a reference until Disconnect.
//
// Threading: connection calls under the filter lock given to the constructor. Active,
// Inactive and Run are called by CBaseFilter under that lock. EndOfStream, BeginFlush,
// EndFlush and NewSegment come from streaming or control threads as the derived pin states.
#pragma once

#include <atomic>
#include <string>

#include "platform/com/ComPtr.h"
#include "platform/media/base/CBaseFilter.h"
#include "platform/media/base/CMediaType.h"
#include "platform/media/base/CUnknown.h"
#include "platform/media/strmif.h"
#include "platform/sync/CCritSec.h"

class CBasePin : public CUnknown, public IPin {
public:
    CBasePin(LPCSTR object_name, CBaseFilter* filter, CCritSec* lock, LPCWSTR pin_name,
             PIN_DIRECTION direction);
    ~CBasePin() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID iid, void** object) override;
    // The filter's count.
    ULONG NonDelegatingAddRef() override;
    ULONG NonDelegatingRelease() override;

    // IPin
    HRESULT Connect(IPin* receive_pin, const AM_MEDIA_TYPE* type) override;
    HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
    HRESULT Disconnect() override;
    HRESULT ConnectedTo(IPin** pin) override;
    HRESULT ConnectionMediaType(AM_MEDIA_TYPE* type) override;
    HRESULT QueryPinInfo(PIN_INFO* info) override;
    HRESULT QueryDirection(PIN_DIRECTION* direction) override;
    HRESULT QueryId(LPWSTR* id) override;
    // S_OK when CheckMediaType accepts the type, S_FALSE otherwise.
    HRESULT QueryAccept(const AM_MEDIA_TYPE* type) override;
    HRESULT EnumMediaTypes(IEnumMediaTypes** types) override;
    HRESULT QueryInternalConnections(IPin** pins, ULONG* count) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override = 0;
    HRESULT EndFlush() override = 0;
    // Records the segment (CurrentStartTime and so on).
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    // ---- for the filter and derived pins ----
    // Whether the pin accepts the type: S_OK yes, S_FALSE or a failure no.
    virtual HRESULT CheckMediaType(const CMediaType* type) = 0;
    // The preferred types by position from 0: S_OK, VFW_S_NO_MORE_ITEMS past the end,
    // E_INVALIDARG below 0. The base has none.
    virtual HRESULT GetMediaType(int position, CMediaType* type);
    // Bump when the list of preferred types changes, so enumerators notice.
    int GetMediaTypeVersion() const { return m_type_version.load(); }
    void IncrementTypeVersion() { ++m_type_version; }

    // State hooks called by CBaseFilter on connected pins.
    virtual HRESULT Active() { return S_OK; }
    virtual HRESULT Inactive() { return S_OK; }
    virtual HRESULT Run(REFERENCE_TIME /*start*/) { return S_OK; }

    bool IsConnected() const { return m_connected != nullptr; }
    IPin* GetConnected() const { return m_connected.Get(); }
    bool IsStopped() const { return m_filter->IsStopped(); }
    const CMediaType& CurrentMediaType() const { return m_mt; }
    PIN_DIRECTION Direction() const { return m_direction; }
    const std::u16string& Name() const { return m_name; }
    CBaseFilter* Filter() const { return m_filter; }

    REFERENCE_TIME CurrentStartTime() const { return m_segment_start; }
    REFERENCE_TIME CurrentStopTime() const { return m_segment_stop; }
    double CurrentRate() const { return m_segment_rate; }

protected:
    // Connection hooks. CheckConnect refuses a peer of the same direction.
    virtual HRESULT CheckConnect(IPin* pin);
    virtual HRESULT SetMediaType(const CMediaType* type);
    virtual HRESULT CompleteConnect(IPin* receive_pin);
    virtual HRESULT BreakConnect();

    // When true, an output pin offers its own types before the receiving pin's.
    bool m_try_my_types_first = false;

    CBaseFilter* const m_filter;
    CCritSec* const m_lock;
    const std::u16string m_name;
    const PIN_DIRECTION m_direction;
    ComPtr<IPin> m_connected;
    CMediaType m_mt;
    REFERENCE_TIME m_segment_start = 0;
    REFERENCE_TIME m_segment_stop = MAX_TIME;
    double m_segment_rate = 1.0;

private:
    HRESULT AgreeMediaType(IPin* receive_pin, const CMediaType* type);
    HRESULT TryMediaTypes(IPin* receive_pin, const CMediaType* partial, IEnumMediaTypes* types);
    HRESULT AttemptConnection(IPin* receive_pin, const CMediaType* type);
    void DropConnection();

    std::atomic<int> m_type_version{1};
};
