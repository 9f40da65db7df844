// SliderCtrl: a dialog's slider as the system's own classes see it. Attach it to the slider
// control with SubclassDlgItem; each call then sends the TBM_* message to that control. A
// derived class sees the slider's left button go down and up in WindowProc before the slider
// acts on them (and so before the WM_HSCROLL reports the press or the release brings), the
// release included when it happens outside the slider.
// Order of use: construct, SubclassDlgItem once the dialog's controls exist, use; the control
// goes with its dialog.
// Threading: the user-interface thread.
#pragma once

#include "platform/WinTypes.h"
#include "platform/ui/CommonControls.h"
#include "platform/ui/ControlHook.h"

class SliderCtrl : public ControlHook {
public:
    SliderCtrl() = default;
    ~SliderCtrl() override;

    // Binds to control `id` of `dialog`; FALSE when there is no such slider.
    BOOL SubclassDlgItem(UINT id, HWND dialog) override;
    HWND GetSafeHwnd() const { return m_hwnd; }

    // Full 32-bit ends.
    void SetRange(int minimum, int maximum, BOOL redraw = FALSE);
    void SetRangeMin(int minimum, BOOL redraw = FALSE);
    void SetRangeMax(int maximum, BOOL redraw = FALSE);
    void GetRange(int& minimum, int& maximum) const;
    int GetRangeMin() const;
    int GetRangeMax() const;
    void SetPos(int position);
    int GetPos() const;
    // Each returns the previous size.
    int SetPageSize(int size);
    int GetPageSize() const;
    int SetLineSize(int size);
    int GetLineSize() const;
    void SetTicFreq(int frequency);

protected:
    // WM_LBUTTONDOWN and WM_LBUTTONUP (first parameter MK_* keys, second the point in the
    // slider's coordinates); the default does nothing and returns 0.
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    LRESULT Send(UINT message, WPARAM wparam, LPARAM lparam) const;

    HWND m_hwnd = nullptr;
};
