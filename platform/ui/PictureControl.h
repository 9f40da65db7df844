// Static picture: a bitmap (SS_BITMAP) or an icon (SS_ICON) from the program's resources, named
// in the template's text as "#number", or set later with STM_SETIMAGE / STM_SETICON (each
// returns the previous handle). As on Windows the control takes the picture's size, an icon's
// being the system's icon size (32 by 32), keeping its top left corner; SS_REALSIZECONTROL
// scales the picture to the control instead and SS_CENTERIMAGE centres it in the control.
// WS_BORDER draws a frame around it, SS_SUNKEN a sunken edge.
// Threading: the user-interface thread.
#pragma once

#include <string>

#include <QLabel>

#include "platform/ui/ControlWindow.h"
#include "platform/ui/GdiTypes.h"

class PictureControl : public ControlWindow {
public:
    PictureControl(const ControlTemplate& control, QWidget* parent);

    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

protected:
    void Place(const QRect& rect) override;
    std::string Text() const override { return m_text; }
    void SetText(const std::string& text) override { m_text = text; }

private:
    QLabel* Label() const { return static_cast<QLabel*>(Widget()); }
    bool IsIcon() const { return (Style() & SS_TYPEMASK) == SS_ICON; }
    HGDIOBJ Show(HGDIOBJ picture);

    std::string m_text;
    HGDIOBJ m_picture = nullptr;
    QRect m_rect;  // the template's place
};
