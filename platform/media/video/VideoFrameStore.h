// VideoFrameStore: what the video window draws, shared between the renderer's streaming
// thread, the user-interface thread and the window: the connected picture format, the latest
// picture (copied out of its sample as a QImage), the source and destination rectangles, and
// the window to tell when a new picture is there.
// The streaming thread copies a picture in and queues a repaint to the window's thread; it
// never waits for that thread. The window registers itself when made and leaves when it goes,
// so nothing is ever queued to a window that no longer exists.
// Order of use: SetFormat when the input connects, Show per frame, Reset when it disconnects.
// Threading: any thread; a mutex guards everything here and is never held while copying
// pixels or calling into the window.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>

#include <QImage>
#include <QRect>

#include "platform/media/video/VideoFormat.h"

class VideoWindowWidget;

class VideoFrameStore {
public:
    // A new format: the old picture goes and both rectangles are back to their defaults.
    void SetFormat(const VideoFormat& format);
    void Reset();
    std::optional<VideoFormat> Format() const;

    // Whether a sample of `length` bytes holds a whole picture of the current format.
    bool Fits(size_t length) const;
    // Copies the picture out of a sample's bytes and has the window repainted; false when
    // there is no format or the bytes are too few.
    bool Show(const BYTE* data, size_t length);
    // The latest picture; null before the first one.
    QImage Image() const;

    // The part of the picture drawn (picture pixels) and where in the window (window
    // pixels); no destination means the whole window.
    QRect Source() const;
    void SetSource(const QRect& source);
    std::optional<QRect> Destination() const;
    void SetDestination(const std::optional<QRect>& destination);

    // The window that draws this store; only on the window's thread.
    void AttachWindow(VideoWindowWidget* window);
    void DetachWindow(VideoWindowWidget* window);
    // Runs `task` on the window's thread with the window, if there is one; any thread.
    bool PostToWindow(std::function<void(VideoWindowWidget*)> task);

private:
    void CopyPicture(const VideoFormat& format, const BYTE* data, QImage* image) const;
    void RequestRepaint();

    mutable std::mutex m_mutex;
    std::optional<VideoFormat> m_format;
    QImage m_image;
    QImage m_spare;  // the picture before, reused for the next copy when never handed out
    mutable bool m_image_handed_out = false;  // Image() gave m_image away
    QRect m_source;
    std::optional<QRect> m_destination;
    VideoWindowWidget* m_window = nullptr;
    std::atomic<bool> m_repaint_queued{false};
};
