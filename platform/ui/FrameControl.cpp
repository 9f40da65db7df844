#include "platform/ui/FrameControl.h"

#include <QPalette>

FrameControl::FrameControl(const ControlTemplate& control, QWidget* parent)
    : ControlWindow(new QFrame(parent), control), m_text(control.text) {
    QFrame* frame = static_cast<QFrame*>(Widget());
    QPalette palette = frame->palette();
    const DWORD type = control.style & SS_TYPEMASK;
    QColor color = Qt::black;
    if (type == SS_GRAYRECT || type == SS_GRAYFRAME) color = palette.color(QPalette::Mid);
    if (type == SS_WHITERECT || type == SS_WHITEFRAME) color = Qt::white;
    switch (type) {
        case SS_BLACKRECT:
        case SS_GRAYRECT:
        case SS_WHITERECT:
            palette.setColor(QPalette::Window, color);
            break;
        case SS_ETCHEDFRAME:
            frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
            break;
        default:
            palette.setColor(QPalette::WindowText, color);
            frame->setFrameStyle(QFrame::Box | QFrame::Plain);
            break;
    }
    if (control.style & SS_SUNKEN) frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setPalette(palette);
    // Painted whole, as Windows' statics are, so the area shows before a picture is put in it.
    frame->setAutoFillBackground(true);
}
