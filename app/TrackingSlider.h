// TrackingSlider: the movie position slider, telling the user's dragging apart from every
// other move of its thumb. m_tracking is set before the slider handles the left button going
// down and cleared before it handles the button going up (wherever the release happens), so
// the scroll notifications sent while the button is held see it set and the ones sent on the
// release see it cleared: the window previews while dragging and seeks once on release.
// Order of use: construct, SubclassDlgItem(1003, window); readers look at m_tracking.
// Threading: the user-interface thread.
#pragma once

#include "platform/ui/SliderCtrl.h"

class TrackingSlider : public SliderCtrl {
public:
    bool m_tracking = false;

protected:
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
};
