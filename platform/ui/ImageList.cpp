#include "platform/ui/ImageList.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include <QImage>
#include <QPainter>

#include "platform/ui/ImageListData.h"
#include "platform/ui/ResourceTable.h"

namespace {

struct Registration {
    ImageList* owner;
    std::weak_ptr<ImageListData> data;
};

// Handles are numbers never given out twice, so a stale one names nothing.
std::map<uintptr_t, Registration>& Registry() {
    static std::map<uintptr_t, Registration> registry;
    return registry;
}

uintptr_t NextHandle() {
    static uintptr_t next = 0x20010;
    next += 0x10;
    return next;
}

uintptr_t Key(HIMAGELIST handle) {
    return reinterpret_cast<uintptr_t>(handle);
}

}  // namespace

ImageList::~ImageList() {
    DeleteImageList();
}

BOOL ImageList::Create(int cx, int cy, UINT flags, int /*initial*/, int /*grow*/) {
    if (m_handle || cx <= 0 || cy <= 0 || cx > 0x1000 || cy > 0x1000) return FALSE;
    m_data = std::make_shared<ImageListData>();
    m_data->cx = cx;
    m_data->cy = cy;
    m_data->flags = flags;
    m_handle = reinterpret_cast<HIMAGELIST>(NextHandle());
    Registry()[Key(m_handle)] = {this, m_data};
    return TRUE;
}

BOOL ImageList::DeleteImageList() {
    if (!m_handle) return FALSE;
    Registry().erase(Key(m_handle));
    m_handle = nullptr;
    m_data.reset();
    return TRUE;
}

int ImageList::Add(HBITMAP bitmap, COLORREF mask) {
    const QImage image = ResourceTable::Instance().Image(bitmap);
    if (!m_data || image.isNull() || image.width() < m_data->cx) return -1;
    return Append(image, (m_data->flags & ILC_MASK) ? mask : CLR_NONE);
}

int ImageList::Add(HICON icon) {
    const QImage image = ResourceTable::Instance().Image(icon);
    if (!m_data || image.isNull()) return -1;
    const QImage scaled =
        image.scaled(m_data->cx, m_data->cy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return Append(scaled, CLR_NONE);
}

int ImageList::Append(const QImage& image, COLORREF mask) {
    const int first = static_cast<int>(m_data->images.size());
    const QImage source = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = qRgb(GetRValue(mask), GetGValue(mask), GetBValue(mask));
    for (int left = 0; left + m_data->cx <= source.width(); left += m_data->cx) {
        QImage piece(m_data->cx, m_data->cy, QImage::Format_ARGB32);
        piece.fill(Qt::transparent);
        for (int y = 0; y < std::min(m_data->cy, source.height()); ++y) {
            const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y)) + left;
            auto* to = reinterpret_cast<QRgb*>(piece.scanLine(y));
            for (int x = 0; x < m_data->cx; ++x) {
                const bool masked = mask != CLR_NONE && (from[x] | 0xFF000000u) == transparent;
                to[x] = masked ? qRgba(0, 0, 0, 0) : from[x];
            }
        }
        m_data->images.push_back(std::move(piece));
    }
    return first;
}

int ImageList::GetImageCount() const {
    return m_data ? static_cast<int>(m_data->images.size()) : 0;
}

ImageList* ImageList::FromHandle(HIMAGELIST handle) {
    const auto found = Registry().find(Key(handle));
    return found == Registry().end() ? nullptr : found->second.owner;
}

std::shared_ptr<const ImageListData> ImageList::Data(HIMAGELIST handle) {
    const auto found = Registry().find(Key(handle));
    return found == Registry().end() ? nullptr : found->second.data.lock();
}
