// The drawing surface of one paint of a window: a painter on the window's widget clipped to
// the region being painted, behind an HDC. ExcludeClipRect takes a rectangle out of the clip,
// so that a later erase or drawing leaves it alone (the main window keeps its video area out
// of the background erase this way). Lives for one paint event only; a handle from an earlier
// paint names nothing.
// Order of use: made by the window's paint event, BeginPaint hands it out (erasing first),
// EndPaint, destroyed at the end of the event.
// Threading: the user-interface thread.
#pragma once

#include <QBrush>
#include <QPainter>
#include <QRegion>

#include "platform/ui/GdiTypes.h"

class DeviceContext : public HDC__ {
public:
    DeviceContext(HWND window, QPainter& painter, const QRegion& region);
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    // The live context behind `dc`, or null.
    static DeviceContext* FromHandle(HDC dc);
    // The context of the paint `window` is in, or null.
    static DeviceContext* Painting(HWND window);

    HDC Handle() { return this; }
    HWND Window() const { return m_window; }
    QPainter& Painter() { return m_painter; }
    const QRegion& Clip() const { return m_clip; }

    // Takes `rect` out of the clip; the kind of region left (NULLREGION, SIMPLEREGION, ...).
    int Exclude(const QRect& rect);
    // Paints the whole clip with `brush`.
    void Fill(const QBrush& brush);

    // BeginPaint has handed the context out; the background is still to be erased.
    bool begun = false;
    bool erase_pending = true;

private:
    HWND m_window;
    QPainter& m_painter;
    QRegion m_clip;
};
