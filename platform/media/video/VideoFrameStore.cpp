#include "platform/media/video/VideoFrameStore.h"

#include <cstring>
#include <utility>

#include <QMetaObject>

#include "platform/media/video/VideoWindowWidget.h"

// A DIB's 32-bit pixel is B, G, R, X in memory: Qt's 0xffRRGGBB on a little-endian machine.
static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "RGB32 pictures are copied as they are");

void VideoFrameStore::SetFormat(const VideoFormat& format) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_format = format;
    m_image = QImage();
    m_spare = QImage();
    m_source = QRect(0, 0, static_cast<int>(format.width), static_cast<int>(format.height));
    m_destination.reset();
}

void VideoFrameStore::Reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_format.reset();
    m_image = QImage();
    m_spare = QImage();
    m_source = QRect();
    m_destination.reset();
}

std::optional<VideoFormat> VideoFrameStore::Format() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_format;
}

bool VideoFrameStore::Fits(size_t length) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_format && length >= m_format->image_size;
}

bool VideoFrameStore::Show(const BYTE* data, size_t length) {
    VideoFormat format;
    QImage picture;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_format || !data || length < m_format->image_size) return false;
        format = *m_format;
        picture = std::move(m_spare);
    }
    CopyPicture(format, data, &picture);
    if (picture.isNull()) return false;  // out of memory
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // A format change while copying makes this picture stale: drop it.
        if (!m_format || m_format->width != format.width || m_format->height != format.height) {
            return false;
        }
        // A picture handed out may still be read on another thread; its pixels are never
        // written again (Qt's own check before reusing them gives no ordering), so the next
        // copy gets fresh memory instead.
        m_spare = m_image_handed_out ? QImage() : std::move(m_image);
        m_image = std::move(picture);
        m_image_handed_out = false;
    }
    RequestRepaint();
    return true;
}

void VideoFrameStore::CopyPicture(const VideoFormat& format, const BYTE* data,
                                  QImage* image) const {
    const int width = static_cast<int>(format.width);
    const int height = static_cast<int>(format.height);
    if (image->width() != width || image->height() != height ||
        image->format() != QImage::Format_RGB32) {
        *image = QImage(width, height, QImage::Format_RGB32);
        if (image->isNull()) return;
    }
    for (int row = 0; row < height; ++row) {
        const size_t source_row = format.top_down ? row : height - 1 - row;
        auto* line = reinterpret_cast<uint32_t*>(image->scanLine(row));  // detaches if shared
        std::memcpy(line, data + source_row * format.stride, format.stride);
        // Qt reads the fourth byte as alpha; a DIB leaves it undefined.
        for (int x = 0; x < width; ++x)
            line[x] |= 0xFF000000u;
    }
}

QImage VideoFrameStore::Image() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_image_handed_out = true;
    return m_image;
}

QRect VideoFrameStore::Source() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_source;
}

void VideoFrameStore::SetSource(const QRect& source) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_source = source;
    }
    RequestRepaint();
}

std::optional<QRect> VideoFrameStore::Destination() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_destination;
}

void VideoFrameStore::SetDestination(const std::optional<QRect>& destination) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_destination = destination;
    }
    RequestRepaint();
}

void VideoFrameStore::AttachWindow(VideoWindowWidget* window) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_window = window;
    m_repaint_queued = false;
}

void VideoFrameStore::DetachWindow(VideoWindowWidget* window) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_window == window) m_window = nullptr;
}

bool VideoFrameStore::PostToWindow(std::function<void(VideoWindowWidget*)> task) {
    // Posting under the lock: the window cannot finish detaching (and go) meanwhile, and Qt
    // drops whatever is still queued for a window when it is deleted.
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_window) return false;
    VideoWindowWidget* window = m_window;
    return QMetaObject::invokeMethod(
        window, [window, task = std::move(task)] { task(window); }, Qt::QueuedConnection);
}

void VideoFrameStore::RequestRepaint() {
    // One queued repaint at a time: a window thread that falls behind sees only the latest.
    if (m_repaint_queued.exchange(true)) return;
    const bool queued = PostToWindow([this](VideoWindowWidget* window) {
        m_repaint_queued = false;
        window->update();
    });
    if (!queued) m_repaint_queued = false;
}
