// The process's registered resources behind Resources.h: pictures kept as images under their
// numbers, with the handles given out for them, and strings. A picture once handed out is never
// freed, so a handle never dangles.
// Threading: any thread; one lock guards the table.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <QImage>

#include "platform/WinTypes.h"
#include "platform/ui/GdiTypes.h"

class ResourceTable {
public:
    static ResourceTable& Instance();

    void AddBitmap(UINT id, QImage image);
    void AddIcon(UINT id, QImage image);
    void AddString(UINT id, std::string text);

    HBITMAP Bitmap(UINT id) const;
    HICON Icon(UINT id) const;
    std::optional<std::string> String(UINT id) const;

    // The picture behind a handle this table gave out; a null image for anything else.
    QImage Image(HBITMAP bitmap) const;
    QImage Image(HICON icon) const;
    QImage Image(HGDIOBJ picture) const;

private:
    struct Picture : HICON__, HBITMAP__ {
        explicit Picture(QImage picture) : image(std::move(picture)) {}
        const QImage image;
    };
    using PictureMap = std::map<UINT, std::unique_ptr<Picture>>;

    ResourceTable() = default;
    void Add(PictureMap& pictures, UINT id, QImage image);
    const Picture* Find(const void* handle) const;

    mutable std::mutex m_mutex;
    PictureMap m_bitmaps;
    PictureMap m_icons;
    std::vector<std::unique_ptr<Picture>> m_replaced;  // still reachable through old handles
    std::map<UINT, std::string> m_strings;
};
