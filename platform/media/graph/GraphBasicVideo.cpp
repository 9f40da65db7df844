#include "platform/media/graph/GraphBasicVideo.h"

GraphBasicVideo::GraphBasicVideo(IUnknown* owner, const GraphFilterList& filters)
    : m_owner(owner), m_filters(filters) {}

HRESULT GraphBasicVideo::QueryInterface(REFIID iid, void** object) {
    return m_owner->QueryInterface(iid, object);
}

ULONG GraphBasicVideo::AddRef() {
    return m_owner->AddRef();
}

ULONG GraphBasicVideo::Release() {
    return m_owner->Release();
}

HRESULT GraphBasicVideo::get_AvgTimePerFrame(REFTIME* time) {
    return Forward(&IBasicVideo::get_AvgTimePerFrame, time);
}

HRESULT GraphBasicVideo::get_BitRate(long* rate) {
    return Forward(&IBasicVideo::get_BitRate, rate);
}

HRESULT GraphBasicVideo::get_BitErrorRate(long* rate) {
    return Forward(&IBasicVideo::get_BitErrorRate, rate);
}

HRESULT GraphBasicVideo::get_VideoWidth(long* width) {
    return Forward(&IBasicVideo::get_VideoWidth, width);
}

HRESULT GraphBasicVideo::get_VideoHeight(long* height) {
    return Forward(&IBasicVideo::get_VideoHeight, height);
}

HRESULT GraphBasicVideo::put_SourceLeft(long left) {
    return Forward(&IBasicVideo::put_SourceLeft, left);
}

HRESULT GraphBasicVideo::get_SourceLeft(long* left) {
    return Forward(&IBasicVideo::get_SourceLeft, left);
}

HRESULT GraphBasicVideo::put_SourceWidth(long width) {
    return Forward(&IBasicVideo::put_SourceWidth, width);
}

HRESULT GraphBasicVideo::get_SourceWidth(long* width) {
    return Forward(&IBasicVideo::get_SourceWidth, width);
}

HRESULT GraphBasicVideo::put_SourceTop(long top) {
    return Forward(&IBasicVideo::put_SourceTop, top);
}

HRESULT GraphBasicVideo::get_SourceTop(long* top) {
    return Forward(&IBasicVideo::get_SourceTop, top);
}

HRESULT GraphBasicVideo::put_SourceHeight(long height) {
    return Forward(&IBasicVideo::put_SourceHeight, height);
}

HRESULT GraphBasicVideo::get_SourceHeight(long* height) {
    return Forward(&IBasicVideo::get_SourceHeight, height);
}

HRESULT GraphBasicVideo::put_DestinationLeft(long left) {
    return Forward(&IBasicVideo::put_DestinationLeft, left);
}

HRESULT GraphBasicVideo::get_DestinationLeft(long* left) {
    return Forward(&IBasicVideo::get_DestinationLeft, left);
}

HRESULT GraphBasicVideo::put_DestinationWidth(long width) {
    return Forward(&IBasicVideo::put_DestinationWidth, width);
}

HRESULT GraphBasicVideo::get_DestinationWidth(long* width) {
    return Forward(&IBasicVideo::get_DestinationWidth, width);
}

HRESULT GraphBasicVideo::put_DestinationTop(long top) {
    return Forward(&IBasicVideo::put_DestinationTop, top);
}

HRESULT GraphBasicVideo::get_DestinationTop(long* top) {
    return Forward(&IBasicVideo::get_DestinationTop, top);
}

HRESULT GraphBasicVideo::put_DestinationHeight(long height) {
    return Forward(&IBasicVideo::put_DestinationHeight, height);
}

HRESULT GraphBasicVideo::get_DestinationHeight(long* height) {
    return Forward(&IBasicVideo::get_DestinationHeight, height);
}

HRESULT GraphBasicVideo::SetSourcePosition(long left, long top, long width, long height) {
    return Forward(&IBasicVideo::SetSourcePosition, left, top, width, height);
}

HRESULT GraphBasicVideo::GetSourcePosition(long* left, long* top, long* width, long* height) {
    return Forward(&IBasicVideo::GetSourcePosition, left, top, width, height);
}

HRESULT GraphBasicVideo::SetDefaultSourcePosition() {
    return Forward(&IBasicVideo::SetDefaultSourcePosition);
}

HRESULT GraphBasicVideo::SetDestinationPosition(long left, long top, long width, long height) {
    return Forward(&IBasicVideo::SetDestinationPosition, left, top, width, height);
}

HRESULT GraphBasicVideo::GetDestinationPosition(long* left, long* top, long* width, long* height) {
    return Forward(&IBasicVideo::GetDestinationPosition, left, top, width, height);
}

HRESULT GraphBasicVideo::SetDefaultDestinationPosition() {
    return Forward(&IBasicVideo::SetDefaultDestinationPosition);
}

HRESULT GraphBasicVideo::GetVideoSize(long* width, long* height) {
    return Forward(&IBasicVideo::GetVideoSize, width, height);
}

HRESULT GraphBasicVideo::GetVideoPaletteEntries(long start_index, long entries, long* retrieved,
                                                long* palette) {
    return Forward(&IBasicVideo::GetVideoPaletteEntries, start_index, entries, retrieved, palette);
}

HRESULT GraphBasicVideo::GetCurrentImage(long* buffer_size, long* image) {
    return Forward(&IBasicVideo::GetCurrentImage, buffer_size, image);
}

HRESULT GraphBasicVideo::IsUsingDefaultSource() {
    return Forward(&IBasicVideo::IsUsingDefaultSource);
}

HRESULT GraphBasicVideo::IsUsingDefaultDestination() {
    return Forward(&IBasicVideo::IsUsingDefaultDestination);
}
