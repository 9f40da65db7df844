#include "platform/media/base/CMediaType.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/com/objbase.h"

namespace {

bool FormatsEqual(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) {
    if (a.cbFormat != b.cbFormat) return false;
    if (a.cbFormat == 0) return true;
    if (!a.pbFormat || !b.pbFormat) return a.pbFormat == b.pbFormat;
    return std::memcmp(a.pbFormat, b.pbFormat, a.cbFormat) == 0;
}

}  // namespace

CMediaType::CMediaType() : AM_MEDIA_TYPE{} {
    InitMediaType();
}

CMediaType::CMediaType(const GUID* major_type) : CMediaType() {
    if (major_type) majortype = *major_type;
}

CMediaType::CMediaType(const AM_MEDIA_TYPE& type) : AM_MEDIA_TYPE{} {
    if (FAILED(CopyMediaType(this, &type))) InitMediaType();
}

CMediaType::CMediaType(const CMediaType& type)
    : CMediaType(static_cast<const AM_MEDIA_TYPE&>(type)) {}

CMediaType::CMediaType(CMediaType&& type) noexcept : AM_MEDIA_TYPE(type) {
    // The block and the unknown move over; the source keeps only its identifiers.
    type.pbFormat = nullptr;
    type.cbFormat = 0;
    type.pUnk = nullptr;
}

CMediaType::~CMediaType() {
    Clear();
}

CMediaType& CMediaType::operator=(const AM_MEDIA_TYPE& type) {
    if (&type != this) {
        Clear();
        if (FAILED(CopyMediaType(this, &type))) InitMediaType();
    }
    return *this;
}

CMediaType& CMediaType::operator=(const CMediaType& type) {
    return *this = static_cast<const AM_MEDIA_TYPE&>(type);
}

CMediaType& CMediaType::operator=(CMediaType&& type) noexcept {
    if (&type != this) {
        Clear();
        static_cast<AM_MEDIA_TYPE&>(*this) = type;
        type.pbFormat = nullptr;
        type.cbFormat = 0;
        type.pUnk = nullptr;
    }
    return *this;
}

bool CMediaType::operator==(const CMediaType& other) const {
    return IsEqualGUID(majortype, other.majortype) && IsEqualGUID(subtype, other.subtype) &&
           IsEqualGUID(formattype, other.formattype) && FormatsEqual(*this, other);
}

HRESULT CMediaType::Set(const CMediaType& type) {
    if (&type == this) return S_OK;
    Clear();
    const HRESULT hr = CopyMediaType(this, &type);
    if (FAILED(hr)) InitMediaType();
    return hr;
}

bool CMediaType::IsValid() const {
    return !IsEqualGUID(majortype, GUID_NULL);
}

ULONG CMediaType::GetSampleSize() const {
    return IsFixedSize() ? lSampleSize : 0;
}

void CMediaType::SetSampleSize(ULONG size) {
    if (size == 0) {
        SetVariableSize();
    } else {
        bFixedSizeSamples = TRUE;
        lSampleSize = size;
    }
}

void CMediaType::SetVariableSize() {
    bFixedSizeSamples = FALSE;
}

void CMediaType::SetTemporalCompression(BOOL compressed) {
    bTemporalCompression = compressed;
}

bool CMediaType::SetFormat(const BYTE* format, ULONG length) {
    if (length == 0 || !format) {
        ResetFormatBuffer();
        return true;
    }
    BYTE* block = AllocFormatBuffer(length);
    if (!block) return false;
    std::memcpy(block, format, length);
    return true;
}

void CMediaType::ResetFormatBuffer() {
    if (pbFormat) CoTaskMemFree(pbFormat);
    pbFormat = nullptr;
    cbFormat = 0;
}

BYTE* CMediaType::AllocFormatBuffer(ULONG length) {
    if (length == 0) {
        ResetFormatBuffer();
        return nullptr;
    }
    auto* block = static_cast<BYTE*>(CoTaskMemAlloc(length));
    if (!block) return nullptr;  // the old block stays as it was
    std::memset(block, 0, length);
    ResetFormatBuffer();
    pbFormat = block;
    cbFormat = length;
    return block;
}

BYTE* CMediaType::ReallocFormatBuffer(ULONG length) {
    if (length == 0) {
        ResetFormatBuffer();
        return nullptr;
    }
    auto* block = static_cast<BYTE*>(CoTaskMemAlloc(length));
    if (!block) return nullptr;
    std::memset(block, 0, length);
    if (pbFormat) std::memcpy(block, pbFormat, std::min(length, cbFormat));
    ResetFormatBuffer();
    pbFormat = block;
    cbFormat = length;
    return block;
}

void CMediaType::InitMediaType() {
    static_cast<AM_MEDIA_TYPE&>(*this) = AM_MEDIA_TYPE{};
    bFixedSizeSamples = TRUE;
    lSampleSize = 1;
}

bool CMediaType::IsPartiallySpecified() const {
    return IsEqualGUID(majortype, GUID_NULL) || IsEqualGUID(subtype, GUID_NULL) ||
           (pbFormat && IsEqualGUID(formattype, GUID_NULL));
}

bool CMediaType::MatchesPartial(const CMediaType* partial) const {
    if (!partial) return true;
    if (!IsEqualGUID(partial->majortype, GUID_NULL) &&
        !IsEqualGUID(partial->majortype, majortype)) {
        return false;
    }
    if (!IsEqualGUID(partial->subtype, GUID_NULL) && !IsEqualGUID(partial->subtype, subtype)) {
        return false;
    }
    if (!IsEqualGUID(partial->formattype, GUID_NULL)) {
        if (!IsEqualGUID(partial->formattype, formattype)) return false;
        if (!FormatsEqual(*this, *partial)) return false;
    }
    return true;
}

void CMediaType::Clear() {
    FreeMediaType(*this);
}
