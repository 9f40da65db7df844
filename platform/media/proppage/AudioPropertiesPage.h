// AudioPropertiesPage: the audio renderer's property page (CLSID_AudioProperties, "Audio
// Renderer"): a volume slider (-10000 to 0, in 1/100 dB) and a balance slider (-10000 to
// 10000), each with its value in decibels beside it. The values are read from the object's
// IBasicAudio when the page is given the object and written back on Apply; an object without
// IBasicAudio is refused (E_NOINTERFACE).
// Order of use: as for any CBasePropertyPage.
// Threading: the user-interface thread.
#pragma once

#include <functional>

#include <QString>

#include "platform/com/ComPtr.h"
#include "platform/media/control.h"
#include "platform/media/proppage/CBasePropertyPage.h"

class QGridLayout;

class AudioPropertiesPage : public CBasePropertyPage {
public:
    AudioPropertiesPage();

    static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* hr);

protected:
    void CreateControls(QWidget* page) override;
    HRESULT OnConnect(IUnknown* object) override;
    void OnDisconnect() override;
    HRESULT OnApplyChanges() override;

private:
    struct SliderRow {
        const char* label;
        const char* name;  // the slider's object name
        int minimum;
        int maximum;
        long value;
    };

    // Adds a labelled slider showing its value; `changed` gets each new value.
    static void AddSlider(QGridLayout* grid, int row, const SliderRow& slider,
                          std::function<void(long)> changed);
    static QString DecibelText(long hundredths);

    ComPtr<IBasicAudio> m_audio;
    long m_volume = 0;
    long m_balance = 0;
};
