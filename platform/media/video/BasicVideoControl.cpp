#include "platform/media/video/BasicVideoControl.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/media/amvideo.h"

namespace {

constexpr double kUnitsPerSecond = 10000000.0;
// Qt keeps coordinates in int; far beyond any picture or screen anyway.
constexpr long kCoordinateLimit = 1L << 24;

int ToInt(long value) {
    return static_cast<int>(std::clamp(value, -kCoordinateLimit, kCoordinateLimit));
}

// Moves the rectangle by its left and top edges, sizes it by its width and height.
QRect Placed(QRect rect, std::optional<long> left, std::optional<long> top,
             std::optional<long> width, std::optional<long> height) {
    if (left) rect.moveLeft(ToInt(*left));
    if (top) rect.moveTop(ToInt(*top));
    if (width) rect.setWidth(ToInt(*width));
    if (height) rect.setHeight(ToInt(*height));
    return rect;
}

HRESULT CopyRect(const QRect& rect, long* left, long* top, long* width, long* height) {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = rect.left();
    *top = rect.top();
    *width = rect.width();
    *height = rect.height();
    return S_OK;
}

}  // namespace

BasicVideoControl::BasicVideoControl(IUnknown* owner, const CBasePin* input,
                                     std::shared_ptr<VideoFrameStore> store,
                                     VideoWindowControl* window)
    : m_owner(owner), m_input(input), m_store(std::move(store)), m_window(window) {}

HRESULT BasicVideoControl::QueryInterface(REFIID iid, void** object) {
    return m_owner->QueryInterface(iid, object);
}

ULONG BasicVideoControl::AddRef() {
    return m_owner->AddRef();
}

ULONG BasicVideoControl::Release() {
    return m_owner->Release();
}

// ---- helpers -------------------------------------------------------------------------------

HRESULT BasicVideoControl::ConnectedFormat(VideoFormat* format) const {
    if (!m_input->IsConnected()) return VFW_E_NOT_CONNECTED;
    const std::optional<VideoFormat> connected = m_store->Format();
    if (!connected) return VFW_E_NOT_CONNECTED;
    *format = *connected;
    return S_OK;
}

HRESULT BasicVideoControl::ReadFormat(long* value, long (*read)(const VideoFormat&)) const {
    VideoFormat format;
    const HRESULT hr = ConnectedFormat(&format);
    if (FAILED(hr)) return hr;
    if (!value) return E_POINTER;
    *value = read(format);
    return S_OK;
}

HRESULT BasicVideoControl::ReadSource(long* value, int (QRect::*read)() const) const {
    VideoFormat format;
    const HRESULT hr = ConnectedFormat(&format);
    if (FAILED(hr)) return hr;
    if (!value) return E_POINTER;
    *value = (m_store->Source().*read)();
    return S_OK;
}

HRESULT BasicVideoControl::ReadDestination(long* value, int (QRect::*read)() const) {
    VideoFormat format;
    const HRESULT hr = ConnectedFormat(&format);
    if (FAILED(hr)) return hr;
    if (!value) return E_POINTER;
    *value = (CurrentDestination().*read)();
    return S_OK;
}

QRect BasicVideoControl::CurrentDestination() {
    return m_store->Destination().value_or(QRect(QPoint(0, 0), m_window->ClientSize()));
}

HRESULT BasicVideoControl::PlaceSource(Edge left, Edge top, Edge width, Edge height) {
    VideoFormat format;
    const HRESULT hr = ConnectedFormat(&format);
    if (FAILED(hr)) return hr;
    if ((left && *left < 0) || (top && *top < 0) || (width && *width <= 0) ||
        (height && *height <= 0)) {
        return E_INVALIDARG;
    }
    const QRect source = Placed(m_store->Source(), left, top, width, height);
    const QRect picture(0, 0, static_cast<int>(format.width), static_cast<int>(format.height));
    if (!picture.contains(source)) return E_INVALIDARG;
    m_store->SetSource(source);
    return S_OK;
}

HRESULT BasicVideoControl::PlaceDestination(Edge left, Edge top, Edge width, Edge height) {
    VideoFormat format;
    const HRESULT hr = ConnectedFormat(&format);
    if (FAILED(hr)) return hr;
    if ((width && *width <= 0) || (height && *height <= 0)) return E_INVALIDARG;
    m_store->SetDestination(Placed(CurrentDestination(), left, top, width, height));
    return S_OK;
}

// ---- the picture's format ------------------------------------------------------------------

HRESULT BasicVideoControl::get_AvgTimePerFrame(REFTIME* time) {
    VideoFormat format;
    const HRESULT hr = ConnectedFormat(&format);
    if (FAILED(hr)) return hr;
    if (!time) return E_POINTER;
    *time = static_cast<double>(format.avg_time_per_frame) / kUnitsPerSecond;
    return S_OK;
}

HRESULT BasicVideoControl::get_BitRate(long* rate) {
    return ReadFormat(rate, [](const VideoFormat& format) { return long{format.bit_rate}; });
}

HRESULT BasicVideoControl::get_BitErrorRate(long* rate) {
    return ReadFormat(rate, [](const VideoFormat& format) { return long{format.bit_error_rate}; });
}

HRESULT BasicVideoControl::get_VideoWidth(long* width) {
    return ReadFormat(width, [](const VideoFormat& format) { return format.width; });
}

HRESULT BasicVideoControl::get_VideoHeight(long* height) {
    return ReadFormat(height, [](const VideoFormat& format) { return format.height; });
}

HRESULT BasicVideoControl::GetVideoSize(long* width, long* height) {
    VideoFormat format;
    const HRESULT hr = ConnectedFormat(&format);
    if (FAILED(hr)) return hr;
    if (!width || !height) return E_POINTER;
    *width = format.width;
    *height = format.height;
    return S_OK;
}

HRESULT BasicVideoControl::GetVideoPaletteEntries(long /*start_index*/, long /*entries*/,
                                                  long* /*retrieved*/, long* /*palette*/) {
    return E_NOTIMPL;
}

// ---- source rectangle ----------------------------------------------------------------------

HRESULT BasicVideoControl::put_SourceLeft(long left) {
    return PlaceSource(left, std::nullopt, std::nullopt, std::nullopt);
}

HRESULT BasicVideoControl::get_SourceLeft(long* left) {
    return ReadSource(left, &QRect::left);
}

HRESULT BasicVideoControl::put_SourceWidth(long width) {
    return PlaceSource(std::nullopt, std::nullopt, width, std::nullopt);
}

HRESULT BasicVideoControl::get_SourceWidth(long* width) {
    return ReadSource(width, &QRect::width);
}

HRESULT BasicVideoControl::put_SourceTop(long top) {
    return PlaceSource(std::nullopt, top, std::nullopt, std::nullopt);
}

HRESULT BasicVideoControl::get_SourceTop(long* top) {
    return ReadSource(top, &QRect::top);
}

HRESULT BasicVideoControl::put_SourceHeight(long height) {
    return PlaceSource(std::nullopt, std::nullopt, std::nullopt, height);
}

HRESULT BasicVideoControl::get_SourceHeight(long* height) {
    return ReadSource(height, &QRect::height);
}

HRESULT BasicVideoControl::SetSourcePosition(long left, long top, long width, long height) {
    return PlaceSource(left, top, width, height);
}

HRESULT BasicVideoControl::GetSourcePosition(long* left, long* top, long* width, long* height) {
    VideoFormat format;
    const HRESULT hr = ConnectedFormat(&format);
    if (FAILED(hr)) return hr;
    return CopyRect(m_store->Source(), left, top, width, height);
}

HRESULT BasicVideoControl::SetDefaultSourcePosition() {
    VideoFormat format;
    const HRESULT hr = ConnectedFormat(&format);
    if (FAILED(hr)) return hr;
    m_store->SetSource(
        QRect(0, 0, static_cast<int>(format.width), static_cast<int>(format.height)));
    return S_OK;
}

HRESULT BasicVideoControl::IsUsingDefaultSource() {
    VideoFormat format;
    const HRESULT hr = ConnectedFormat(&format);
    if (FAILED(hr)) return hr;
    const QRect picture(0, 0, static_cast<int>(format.width), static_cast<int>(format.height));
    return m_store->Source() == picture ? S_OK : S_FALSE;
}

// ---- destination rectangle -----------------------------------------------------------------

HRESULT BasicVideoControl::put_DestinationLeft(long left) {
    return PlaceDestination(left, std::nullopt, std::nullopt, std::nullopt);
}

HRESULT BasicVideoControl::get_DestinationLeft(long* left) {
    return ReadDestination(left, &QRect::left);
}

HRESULT BasicVideoControl::put_DestinationWidth(long width) {
    return PlaceDestination(std::nullopt, std::nullopt, width, std::nullopt);
}

HRESULT BasicVideoControl::get_DestinationWidth(long* width) {
    return ReadDestination(width, &QRect::width);
}

HRESULT BasicVideoControl::put_DestinationTop(long top) {
    return PlaceDestination(std::nullopt, top, std::nullopt, std::nullopt);
}

HRESULT BasicVideoControl::get_DestinationTop(long* top) {
    return ReadDestination(top, &QRect::top);
}

HRESULT BasicVideoControl::put_DestinationHeight(long height) {
    return PlaceDestination(std::nullopt, std::nullopt, std::nullopt, height);
}

HRESULT BasicVideoControl::get_DestinationHeight(long* height) {
    return ReadDestination(height, &QRect::height);
}

HRESULT BasicVideoControl::SetDestinationPosition(long left, long top, long width, long height) {
    return PlaceDestination(left, top, width, height);
}

HRESULT BasicVideoControl::GetDestinationPosition(long* left, long* top, long* width,
                                                  long* height) {
    VideoFormat format;
    const HRESULT hr = ConnectedFormat(&format);
    if (FAILED(hr)) return hr;
    return CopyRect(CurrentDestination(), left, top, width, height);
}

HRESULT BasicVideoControl::SetDefaultDestinationPosition() {
    VideoFormat format;
    const HRESULT hr = ConnectedFormat(&format);
    if (FAILED(hr)) return hr;
    m_store->SetDestination(std::nullopt);
    return S_OK;
}

HRESULT BasicVideoControl::IsUsingDefaultDestination() {
    VideoFormat format;
    const HRESULT hr = ConnectedFormat(&format);
    if (FAILED(hr)) return hr;
    return m_store->Destination() ? S_FALSE : S_OK;
}

// ---- the current picture -------------------------------------------------------------------

HRESULT BasicVideoControl::GetCurrentImage(long* buffer_size, long* image) {
    VideoFormat format;
    const HRESULT hr = ConnectedFormat(&format);
    if (FAILED(hr)) return hr;
    if (!buffer_size) return E_POINTER;
    if (!image) {
        *buffer_size = static_cast<long>(sizeof(BITMAPINFOHEADER) + format.image_size);
        return S_OK;
    }
    const QImage picture = m_store->Image();
    if (picture.isNull()) return E_UNEXPECTED;
    const auto width = static_cast<size_t>(picture.width());
    const auto height = static_cast<size_t>(picture.height());
    const size_t row_size = width * 4;
    const size_t needed = sizeof(BITMAPINFOHEADER) + row_size * height;
    if (*buffer_size < 0 || static_cast<size_t>(*buffer_size) < needed) return E_OUTOFMEMORY;

    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = picture.width();
    header.biHeight = picture.height();  // bottom-up
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(row_size * height);
    auto* bytes = reinterpret_cast<BYTE*>(image);
    std::memcpy(bytes, &header, sizeof(header));
    BYTE* pixels = bytes + sizeof(header);
    for (size_t row = 0; row < height; ++row) {
        const uchar* line = picture.constScanLine(static_cast<int>(height - 1 - row));
        std::memcpy(pixels + row * row_size, line, row_size);
    }
    *buffer_size = static_cast<long>(needed);
    return S_OK;
}
