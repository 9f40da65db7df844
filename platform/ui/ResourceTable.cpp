#include "platform/ui/ResourceTable.h"

#include <utility>

ResourceTable& ResourceTable::Instance() {
    // Never destroyed: handles may be used until the process ends.
    static auto* table = new ResourceTable;
    return *table;
}

void ResourceTable::Add(PictureMap& pictures, UINT id, QImage image) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto& slot = pictures[id];
    if (slot) m_replaced.push_back(std::move(slot));
    slot = std::make_unique<Picture>(std::move(image));
}

void ResourceTable::AddBitmap(UINT id, QImage image) {
    Add(m_bitmaps, id, std::move(image));
}

void ResourceTable::AddIcon(UINT id, QImage image) {
    Add(m_icons, id, std::move(image));
}

void ResourceTable::AddString(UINT id, std::string text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_strings[id] = std::move(text);
}

HBITMAP ResourceTable::Bitmap(UINT id) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_bitmaps.find(id);
    return found == m_bitmaps.end() ? nullptr : static_cast<HBITMAP>(found->second.get());
}

HICON ResourceTable::Icon(UINT id) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_icons.find(id);
    return found == m_icons.end() ? nullptr : static_cast<HICON>(found->second.get());
}

std::optional<std::string> ResourceTable::String(UINT id) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_strings.find(id);
    if (found == m_strings.end()) return std::nullopt;
    return found->second;
}

const ResourceTable::Picture* ResourceTable::Find(const void* handle) const {
    // Compared as addresses only: a handle that is not one of ours is never dereferenced.
    for (const PictureMap* pictures : {&m_bitmaps, &m_icons}) {
        for (const auto& [id, picture] : *pictures) {
            if (handle == static_cast<const HICON__*>(picture.get()) ||
                handle == static_cast<const HBITMAP__*>(picture.get())) {
                return picture.get();
            }
        }
    }
    for (const auto& picture : m_replaced) {
        if (handle == static_cast<const HICON__*>(picture.get()) ||
            handle == static_cast<const HBITMAP__*>(picture.get())) {
            return picture.get();
        }
    }
    return nullptr;
}

QImage ResourceTable::Image(HBITMAP bitmap) const {
    return Image(static_cast<HGDIOBJ>(bitmap));
}

QImage ResourceTable::Image(HICON icon) const {
    return Image(static_cast<HGDIOBJ>(icon));
}

QImage ResourceTable::Image(HGDIOBJ picture) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Picture* found = picture ? Find(picture) : nullptr;
    return found ? found->image : QImage();
}
