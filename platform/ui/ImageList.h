// An image list: pictures of one size (16 by 15 pixels, say), each with its transparent
// parts, that list views show beside their rows by index. Made with Create, filled from
// bitmaps with Add (a bitmap may hold several images side by side; with ILC_MASK one colour,
// red in our bitmaps, becomes transparent). A list view given the list keeps its images, even
// when this object goes first.
// Order of use: construct, Create, Add, hand to the list view (ListCtrl::SetImageList),
// DeleteImageList or destroy.
// Threading: the user-interface thread.
#pragma once

#include <memory>

#include "platform/WinTypes.h"
#include "platform/ui/CommonControls.h"
#include "platform/ui/GdiTypes.h"

class QImage;
struct ImageListData;

class ImageList {
public:
    ImageList() = default;
    ~ImageList();
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    // `cx` by `cy` pixels per image; `initial` and `grow` are accepted (the list grows as
    // needed). FALSE for an empty size or when the list exists already.
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    BOOL DeleteImageList();
    // Appends the bitmap's images: its width divided by cx of them, cut to cy rows (missing
    // rows are transparent). The index of the first, -1 for no image or no list.
    int Add(HBITMAP bitmap, COLORREF mask);
    // One image from an icon, scaled to the list's size.
    int Add(HICON icon);
    int GetImageCount() const;
    HIMAGELIST GetSafeHandle() const { return m_handle; }

    // The object behind a handle, while it exists.
    static ImageList* FromHandle(HIMAGELIST handle);
    // The images behind a handle, held for as long as the caller keeps them; null for a handle
    // that names no list.
    static std::shared_ptr<const ImageListData> Data(HIMAGELIST handle);

private:
    int Append(const QImage& image, COLORREF mask);

    HIMAGELIST m_handle = nullptr;
    std::shared_ptr<ImageListData> m_data;
};
