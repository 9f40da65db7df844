#include "platform/ui/PictureControl.h"

#include <QPixmap>

#include "platform/ui/Resources.h"
#include "platform/ui/ResourceTable.h"
#include "platform/ui/WindowMessages.h"

namespace {

constexpr int kIconSize = 32;  // SM_CXICON, SM_CYICON

}  // namespace

PictureControl::PictureControl(const ControlTemplate& control, QWidget* parent)
    : ControlWindow(new QLabel(parent), control), m_text(control.text) {
    QLabel* label = Label();
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    if (control.style & SS_SUNKEN) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    } else if (control.style & WS_BORDER) {
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
    }
    label->setScaledContents((control.style & SS_REALSIZECONTROL) != 0);
    const LPCSTR name = control.text.c_str();
    m_picture = IsIcon() ? static_cast<HGDIOBJ>(LoadIconA(nullptr, name))
                         : static_cast<HGDIOBJ>(LoadBitmapA(nullptr, name));
}

void PictureControl::Place(const QRect& rect) {
    m_rect = rect;
    Show(m_picture);
}

HGDIOBJ PictureControl::Show(HGDIOBJ picture) {
    const HGDIOBJ previous = m_picture;
    m_picture = picture;
    QLabel* label = Label();
    if (!label) return previous;
    QImage image = ResourceTable::Instance().Image(picture);
    if (!image.isNull() && IsIcon()) {
        image = image.scaled(kIconSize, kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    label->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
    const bool keeps_size = Style() & (SS_REALSIZECONTROL | SS_CENTERIMAGE);
    if (image.isNull() || keeps_size) {
        label->setGeometry(m_rect);
    } else {
        const int frame = 2 * label->frameWidth();
        label->setGeometry(m_rect.x(), m_rect.y(), image.width() + frame, image.height() + frame);
    }
    return previous;
}

LRESULT PictureControl::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case STM_SETIMAGE:
            if (wparam != (IsIcon() ? IMAGE_ICON : IMAGE_BITMAP)) return 0;
            return reinterpret_cast<LRESULT>(Show(reinterpret_cast<HGDIOBJ>(lparam)));
        case STM_GETIMAGE:
            if (wparam != (IsIcon() ? IMAGE_ICON : IMAGE_BITMAP)) return 0;
            return reinterpret_cast<LRESULT>(m_picture);
        case STM_SETICON:
            if (!IsIcon()) return 0;
            return reinterpret_cast<LRESULT>(Show(reinterpret_cast<HGDIOBJ>(wparam)));
        case STM_GETICON:
            return IsIcon() ? reinterpret_cast<LRESULT>(m_picture) : 0;
        default:
            return ControlWindow::WindowProc(message, wparam, lparam);
    }
}
