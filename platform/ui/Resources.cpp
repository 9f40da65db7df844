#include "platform/ui/Resources.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>
#include <string_view>

#include <QByteArray>
#include <QImage>

#include "platform/ui/ResourceTable.h"

namespace {

QImage Decode(const void* data, size_t size) {
    if (!data || size == 0 || size > static_cast<size_t>(INT32_MAX)) return QImage();
    return QImage::fromData(
        QByteArray::fromRawData(static_cast<const char*>(data), static_cast<qsizetype>(size)));
}

QImage FromPixels(int width, int height, const COLORREF* pixels, COLORREF transparent) {
    if (!pixels || width <= 0 || height <= 0 || width > 0x4000 || height > 0x4000) return QImage();
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const COLORREF color = pixels[static_cast<size_t>(y) * width + x];
            row[x] = color == transparent
                         ? qRgba(0, 0, 0, 0)
                         : qRgb(GetRValue(color), GetGValue(color), GetBValue(color));
        }
    }
    return image;
}

// MAKEINTRESOURCEA(n) or "#n".
std::optional<UINT> ResourceNumber(LPCSTR name) {
    if (!name) return std::nullopt;
    if (IS_INTRESOURCE(name)) return static_cast<UINT>(reinterpret_cast<uintptr_t>(name));
    const std::string_view text(name);
    if (text.size() < 2 || text.front() != '#') return std::nullopt;
    UINT number = 0;
    const auto [end, error] = std::from_chars(text.data() + 1, text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number > 0xFFFF) {
        return std::nullopt;
    }
    return number;
}

BOOL AddBitmap(UINT id, QImage image) {
    if (image.isNull()) return FALSE;
    ResourceTable::Instance().AddBitmap(id, std::move(image));
    return TRUE;
}

BOOL AddIcon(UINT id, QImage image) {
    if (image.isNull()) return FALSE;
    ResourceTable::Instance().AddIcon(id, std::move(image));
    return TRUE;
}

}  // namespace

BOOL RegisterBitmapResource(UINT id, const void* data, size_t size) {
    return AddBitmap(id, Decode(data, size));
}

BOOL RegisterBitmapResource(UINT id, int width, int height, const COLORREF* pixels) {
    return AddBitmap(id, FromPixels(width, height, pixels, CLR_NONE));
}

BOOL RegisterIconResource(UINT id, const void* data, size_t size) {
    return AddIcon(id, Decode(data, size));
}

BOOL RegisterIconResource(UINT id, int width, int height, const COLORREF* pixels,
                          COLORREF transparent) {
    return AddIcon(id, FromPixels(width, height, pixels, transparent));
}

BOOL RegisterStringResource(UINT id, const char* text) {
    if (!text) return FALSE;
    ResourceTable::Instance().AddString(id, text);
    return TRUE;
}

HICON LoadIconA(HINSTANCE /*instance*/, LPCSTR name) {
    const auto number = ResourceNumber(name);
    return number ? ResourceTable::Instance().Icon(*number) : nullptr;
}

HBITMAP LoadBitmapA(HINSTANCE /*instance*/, LPCSTR name) {
    const auto number = ResourceNumber(name);
    return number ? ResourceTable::Instance().Bitmap(*number) : nullptr;
}

int LoadStringA(HINSTANCE /*instance*/, UINT id, LPSTR buffer, int max_count) {
    if (!buffer || max_count <= 0) return 0;
    buffer[0] = '\0';
    const auto text = ResourceTable::Instance().String(id);
    if (!text) return 0;
    const size_t count = std::min(text->size(), static_cast<size_t>(max_count - 1));
    std::memcpy(buffer, text->data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

BOOL DeleteObject(HGDIOBJ object) {
    return ResourceTable::Instance().Image(object).isNull() ? FALSE : TRUE;
}

BOOL DestroyIcon(HICON icon) {
    return ResourceTable::Instance().Image(icon).isNull() ? FALSE : TRUE;
}

BOOL GetPictureSize(HGDIOBJ picture, SIZE* size) {
    const QImage image = ResourceTable::Instance().Image(picture);
    if (image.isNull() || !size) return FALSE;
    size->cx = image.width();
    size->cy = image.height();
    return TRUE;
}
