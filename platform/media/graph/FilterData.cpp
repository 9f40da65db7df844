#include "platform/media/graph/FilterData.h"

#include <cstring>

namespace {

constexpr DWORD kMagic = mmioFOURCC('T', 'K', 'V', 'F');
constexpr DWORD kVersion = 1;
// Bounds that keep a damaged value from asking for huge allocations.
constexpr DWORD kMaxPins = 256;
constexpr DWORD kMaxTypes = 1024;
constexpr DWORD kMaxNameUnits = 1024;

constexpr DWORD kRendered = 1;
constexpr DWORD kOutput = 2;
constexpr DWORD kZero = 4;
constexpr DWORD kMany = 8;

class Writer {
public:
    void U32(DWORD value) {
        for (int shift = 0; shift < 32; shift += 8) {
            m_bytes.push_back(static_cast<BYTE>(value >> shift));
        }
    }
    void Guid(const GUID& guid) {
        U32(guid.Data1);
        U16(guid.Data2);
        U16(guid.Data3);
        m_bytes.insert(m_bytes.end(), guid.Data4, guid.Data4 + 8);
    }
    void Text(const std::u16string& text) {
        const size_t units = text.size() < kMaxNameUnits ? text.size() : kMaxNameUnits;
        U32(static_cast<DWORD>(units));
        for (size_t i = 0; i < units; ++i)
            U16(text[i]);
    }
    std::vector<BYTE> Take() { return std::move(m_bytes); }

private:
    void U16(WORD value) {
        m_bytes.push_back(static_cast<BYTE>(value));
        m_bytes.push_back(static_cast<BYTE>(value >> 8));
    }
    std::vector<BYTE> m_bytes;
};

class Reader {
public:
    Reader(const BYTE* data, size_t size) : m_data(data), m_size(data ? size : 0) {}

    bool U32(DWORD* value) {
        if (!Has(4)) return false;
        *value = 0;
        for (int i = 3; i >= 0; --i)
            *value = (*value << 8) | m_data[m_at + i];
        m_at += 4;
        return true;
    }
    bool Guid(GUID* guid) {
        WORD data2 = 0;
        WORD data3 = 0;
        if (!U32(&guid->Data1) || !U16(&data2) || !U16(&data3) || !Has(8)) return false;
        guid->Data2 = data2;
        guid->Data3 = data3;
        std::memcpy(guid->Data4, m_data + m_at, 8);
        m_at += 8;
        return true;
    }
    bool Text(std::u16string* text) {
        DWORD units = 0;
        if (!U32(&units) || units > kMaxNameUnits || !Has(size_t{units} * 2)) return false;
        text->clear();
        for (DWORD i = 0; i < units; ++i) {
            WORD unit = 0;
            U16(&unit);
            text->push_back(static_cast<char16_t>(unit));
        }
        return true;
    }

private:
    bool Has(size_t count) const { return m_size - m_at >= count; }
    bool U16(WORD* value) {
        if (!Has(2)) return false;
        *value = static_cast<WORD>(m_data[m_at] | (m_data[m_at + 1] << 8));
        m_at += 2;
        return true;
    }

    const BYTE* m_data;
    size_t m_size;
    size_t m_at = 0;
};

DWORD PinFlags(const RegisteredPin& pin) {
    return (pin.rendered ? kRendered : 0) | (pin.output ? kOutput : 0) | (pin.zero ? kZero : 0) |
           (pin.many ? kMany : 0);
}

bool DecodePin(Reader* reader, RegisteredPin* pin) {
    DWORD flags = 0;
    DWORD type_count = 0;
    if (!reader->U32(&flags) || !reader->Text(&pin->name) ||
        !reader->Guid(&pin->connects_to_filter) || !reader->Text(&pin->connects_to_pin) ||
        !reader->U32(&type_count) || type_count > kMaxTypes) {
        return false;
    }
    pin->rendered = flags & kRendered;
    pin->output = flags & kOutput;
    pin->zero = flags & kZero;
    pin->many = flags & kMany;
    pin->types.resize(type_count);
    for (RegisteredMediaType& type : pin->types) {
        if (!reader->Guid(&type.major) || !reader->Guid(&type.minor)) return false;
    }
    return true;
}

}  // namespace

std::vector<BYTE> FilterData::Encode(const FilterRecord& record) {
    Writer writer;
    writer.U32(kMagic);
    writer.U32(kVersion);
    writer.U32(record.merit);
    const size_t pins = record.pins.size() < kMaxPins ? record.pins.size() : kMaxPins;
    writer.U32(static_cast<DWORD>(pins));
    for (size_t p = 0; p < pins; ++p) {
        const RegisteredPin& pin = record.pins[p];
        writer.U32(PinFlags(pin));
        writer.Text(pin.name);
        writer.Guid(pin.connects_to_filter);
        writer.Text(pin.connects_to_pin);
        const size_t types = pin.types.size() < kMaxTypes ? pin.types.size() : kMaxTypes;
        writer.U32(static_cast<DWORD>(types));
        for (size_t t = 0; t < types; ++t) {
            writer.Guid(pin.types[t].major);
            writer.Guid(pin.types[t].minor);
        }
    }
    return writer.Take();
}

bool FilterData::Decode(const BYTE* data, size_t size, FilterRecord* record) {
    Reader reader(data, size);
    DWORD magic = 0;
    DWORD version = 0;
    DWORD pin_count = 0;
    FilterRecord decoded;
    if (!reader.U32(&magic) || magic != kMagic || !reader.U32(&version) || version != kVersion ||
        !reader.U32(&decoded.merit) || !reader.U32(&pin_count) || pin_count > kMaxPins) {
        return false;
    }
    decoded.pins.resize(pin_count);
    for (RegisteredPin& pin : decoded.pins) {
        if (!DecodePin(&reader, &pin)) return false;
    }
    *record = std::move(decoded);
    return true;
}
