// FramerateSelectorDialog: asks for the movie's frame rate when the media detector reports
// none ("Framerate Selector", resource 142): a combo box of the usual rates over an edit field
// where any number may be typed. The value only turns movie times into frame numbers.
// Order of use: construct on the stack, DoModal, read m_value (25 when nothing usable was
// given, whether by OK or by Escape).
// Threading: the user-interface thread.
#pragma once

#include <string>

#include "platform/ui/Dialog.h"

class FramerateSelectorDialog : public Dialog {
public:
    static constexpr int IDD = 142;
    static constexpr int IDC_PROMPT = 1059;
    static constexpr int IDC_RATES = 1022;
    static constexpr float kFallbackRate = 25.0f;

    explicit FramerateSelectorDialog(HWND parent = nullptr);

    static DialogTemplate Resource();

    std::string m_framerate_text;
    float m_value = kFallbackRate;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(DataExchange* exchange) override;
};
