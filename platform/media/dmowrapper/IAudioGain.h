// IAudioGain: the volume of the built-in "Gain" media object (CLSID_GainDmo), an audio effect
// on 16-bit PCM that multiplies every sample by a factor and saturates at the 16-bit limits.
// 1.0 (the default) passes the samples through bit for bit.
// Order of use: at any time, also while the object streams; the next output uses the new
// factor.
// Threading: any thread.
#pragma once

#include "platform/com/ComErrors.h"
#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"

inline constexpr GUID CLSID_GainDmo = MakeGuid("7B60B886-BE44-4FBF-A14D-E9983B59BB7B");
inline constexpr GUID IID_IAudioGain = MakeGuid("EFDF540F-FAEA-4958-94B8-E7E409422F49");

// The largest factor taken: +24 dB is already more than any sane effect wants.
inline constexpr double kMaxAudioGain = 16.0;

struct IAudioGain : public IUnknown {
    // E_INVALIDARG unless 0 <= gain <= kMaxAudioGain.
    virtual HRESULT SetGain(double gain) = 0;
    virtual HRESULT GetGain(double* gain) = 0;
};

TKV_DECLARE_IID(IAudioGain, IID_IAudioGain);
