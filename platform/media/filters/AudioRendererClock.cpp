#include "platform/media/filters/AudioRendererClock.h"

#include "platform/media/filters/AudioPlayback.h"

AudioRendererClock::AudioRendererClock(IUnknown* owner, AudioPlayback* playback)
    : CBaseReferenceClock(owner), m_playback(playback) {}

AudioRendererClock::~AudioRendererClock() {
    StopAdviseThread();
}

REFERENCE_TIME AudioRendererClock::GetPrivateTime() {
    return m_playback->ClockTime();
}
