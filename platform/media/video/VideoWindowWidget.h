// VideoWindowWidget: the video renderer's window. It paints the latest picture of its
// VideoFrameStore, the store's source rectangle scaled into its destination rectangle (the
// whole window by default), the rest in the border colour, all black before the first picture.
// Its mouse and key input goes to the message drain, when one is set, as the Win32 messages
// (WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_KEYDOWN, ...) posted with PostMessageA.
// Order of use: made by VideoWindowControl on the user-interface thread, which then Applies
// the window state to it; registered with its store for its life.
// Threading: the user-interface thread only; other threads reach it through the store.
#pragma once

#include <memory>

#include <QWidget>

#include "platform/media/video/VideoFrameStore.h"
#include "platform/media/video/VideoWindowState.h"

class VideoWindowWidget : public QWidget {
public:
    explicit VideoWindowWidget(std::shared_ptr<VideoFrameStore> store);
    ~VideoWindowWidget() override;

    // Parents, places, titles and shows or hides the window as `state` says. An owner that
    // is not a window of this thread leaves the window where it is.
    void Apply(const VideoWindowState& state);
    // What the user may have changed since: position, visibility, minimised or maximised.
    void ReadBack(VideoWindowState* state) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void ApplyParent(HWND owner);
    void ApplyVisibility(const VideoWindowState& state);
    void PostMouse(UINT message, const QMouseEvent* event);
    void PostKey(UINT message, const QKeyEvent* event);

    const std::shared_ptr<VideoFrameStore> m_store;
    HWND m_owner = nullptr;
    HWND m_drain = nullptr;
    QColor m_border = Qt::black;
};
