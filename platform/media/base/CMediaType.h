// CMediaType: an AM_MEDIA_TYPE that owns its format block, as a value type. Copies are deep,
// destruction frees the block, and the record can be handed to anything that takes an
// AM_MEDIA_TYPE*. Format blocks are task memory, so FreeMediaType works on them as well.
//
//   CMediaType type(&MEDIATYPE_Audio);
//   type.SetSubtype(&MEDIASUBTYPE_PCM);
//   type.SetFormat(reinterpret_cast<BYTE*>(&wave), sizeof(wave));  // FORMAT_... set apart
//
// Equality compares the identifiers and the format block byte for byte. MatchesPartial treats
// GUID_NULL in the partial type as "any". Allocation failures leave the block empty and are
// reported by the functions that allocate (false / E_OUTOFMEMORY).
// Threading: a value; one thread at a time.
#pragma once

#include "platform/media/MediaTypeFunctions.h"
#include "platform/media/strmif.h"

class CMediaType : public AM_MEDIA_TYPE {
public:
    CMediaType();
    explicit CMediaType(const GUID* major_type);
    CMediaType(const AM_MEDIA_TYPE& type);  // NOLINT: converts, as the framework's code expects
    CMediaType(const CMediaType& type);
    CMediaType(CMediaType&& type) noexcept;
    ~CMediaType();

    CMediaType& operator=(const AM_MEDIA_TYPE& type);
    CMediaType& operator=(const CMediaType& type);
    CMediaType& operator=(CMediaType&& type) noexcept;
    bool operator==(const CMediaType& other) const;
    bool operator!=(const CMediaType& other) const { return !(*this == other); }

    // A deep copy of `type`: S_OK, or E_OUTOFMEMORY with this type left empty.
    HRESULT Set(const CMediaType& type);
    // Whether a major type is set.
    bool IsValid() const;

    const GUID* Type() const { return &majortype; }
    void SetType(const GUID* type) { majortype = *type; }
    const GUID* Subtype() const { return &subtype; }
    void SetSubtype(const GUID* type) { subtype = *type; }
    const GUID* FormatType() const { return &formattype; }
    void SetFormatType(const GUID* type) { formattype = *type; }

    bool IsFixedSize() const { return bFixedSizeSamples != FALSE; }
    bool IsTemporalCompressed() const { return bTemporalCompression != FALSE; }
    ULONG GetSampleSize() const;
    void SetSampleSize(ULONG size);
    void SetVariableSize();
    void SetTemporalCompression(BOOL compressed);

    BYTE* Format() const { return pbFormat; }
    ULONG FormatLength() const { return cbFormat; }
    // Replaces the block with a copy of `length` bytes.
    bool SetFormat(const BYTE* format, ULONG length);
    // Discards the block; FORMAT_None is not set here, only the bytes go.
    void ResetFormatBuffer();
    // A new zeroed block of `length` bytes replacing the old; null when memory runs out.
    BYTE* AllocFormatBuffer(ULONG length);
    // Keeps the first min(old, new) bytes and zeroes the rest.
    BYTE* ReallocFormatBuffer(ULONG length);

    // Back to the initial state: no identifiers, fixed-size samples of 1 byte, no format.
    void InitMediaType();
    // True when the major type, subtype or (with a block) the format type is GUID_NULL.
    bool IsPartiallySpecified() const;
    // True when every identifier of `partial` that is not GUID_NULL equals this type's, and a
    // format block given with a format type is equal too.
    bool MatchesPartial(const CMediaType* partial) const;

private:
    void Clear();
};
