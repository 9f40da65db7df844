// Static frame or rectangle with no text: a black, gray or white filled rectangle
// (SS_BLACKRECT, SS_GRAYRECT, SS_WHITERECT), a frame in one of those colours (SS_BLACKFRAME,
// SS_GRAYFRAME, SS_WHITEFRAME) or an etched frame (SS_ETCHEDFRAME); SS_SUNKEN sinks it. Other
// windows may be placed inside it (the movie's picture in the main window's video area).
// Threading: the user-interface thread.
#pragma once

#include <string>

#include <QFrame>

#include "platform/ui/ControlWindow.h"

class FrameControl : public ControlWindow {
public:
    FrameControl(const ControlTemplate& control, QWidget* parent);

protected:
    std::string Text() const override { return m_text; }
    void SetText(const std::string& text) override { m_text = text; }

private:
    std::string m_text;  // kept, not shown, as on Windows
};
