// AudioRendererClock: the audio renderer's IReferenceClock, part of the renderer (its
// IUnknown is the filter's): the time of the renderer's AudioPlayback, which follows the
// sound device while it plays and the system's clock otherwise.
// Order of use: a member of AudioRendererFilter, declared after the playback it reads.
// Threading: any thread (see CBaseReferenceClock).
#pragma once

#include "platform/media/clock/CBaseReferenceClock.h"

class AudioPlayback;

class AudioRendererClock : public CBaseReferenceClock {
public:
    AudioRendererClock(IUnknown* owner, AudioPlayback* playback);
    ~AudioRendererClock() override;

protected:
    REFERENCE_TIME GetPrivateTime() override;

private:
    AudioPlayback* const m_playback;
};
