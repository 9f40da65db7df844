// What an image list holds, shared between the ImageList and the list views that show it.
// Threading: the user-interface thread.
#pragma once

#include <vector>

#include <QImage>

#include "platform/WinTypes.h"

struct ImageListData {
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
    std::vector<QImage> images;  // each cx by cy, with an alpha channel
};
