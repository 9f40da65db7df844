// MovieSplitterFilter: the stock "Movie Splitter", which splits and decodes a movie with
// FFmpeg. Its input reads the file through IAsyncReader (from "File Source (Async.)"); once
// connected it has one output pin per video and audio stream a decoder exists for, pictures
// as 32-bit RGB and sound as 16-bit PCM, so the movie's streams go straight to the renderers.
// While active, a demuxing thread reads packets in file order into each pin's queue and each
// pin decodes and delivers on its own thread, so a renderer waiting for its time never holds
// up the other stream. A seek (from any output pin's IMediaSeeking) flushes downstream, stops
// the threads, moves the movie to the key frames before the new start and starts again; the
// graph passes a seek to every stream, and the filter seeks once for all of them.
// The same filter serves two classes: "Movie Splitter" takes the containers it knows by their
// stream subtype, "Movie Splitter (Other Formats)" any byte stream, leaving it to FFmpeg to
// recognise the bytes when the input connects.
// Order of use: connect the input (the movie is opened, the outputs appear), connect outputs,
// pause / run / stop. Disconnecting the input removes the outputs (they stay alive, unlisted,
// until the filter goes, as a caller may still hold them).
// Threading: state, connection and seeking on the control thread under the filter lock; the
// demuxing and delivery threads take no filter lock and run only while the filter is active.
#pragma once

#include <memory>
#include <set>
#include <span>
#include <thread>
#include <vector>

#include "platform/media/base/CBaseFilter.h"
#include "platform/media/splitter/MovieDemuxer.h"
#include "platform/media/splitter/MovieSplitterInputPin.h"
#include "platform/media/splitter/MovieSplitterOutputPin.h"

class MovieSplitterFilter : public CBaseFilter {
public:
    enum class Inputs { KnownContainers, AnyStream };

    explicit MovieSplitterFilter(Inputs inputs = Inputs::KnownContainers);
    ~MovieSplitterFilter() override;

    static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* hr);
    static CUnknown* CreateOtherFormatsInstance(LPUNKNOWN outer, HRESULT* hr);

    // The stream subtypes "Movie Splitter" is registered for and takes.
    static std::span<const GUID* const> KnownContainers();
    // Whether the input takes a byte stream of this subtype.
    bool TakesStreamSubtype(const GUID& subtype) const;

    int GetPinCount() override;
    CBasePin* GetPin(int index) override;

    // ---- for the input pin ----
    // Opens the movie and makes the output pins.
    HRESULT OpenMovie(IAsyncReader* reader);
    void CloseMovie();

    // ---- for the output pins ----
    HRESULT Seek(MovieSplitterOutputPin* from, REFERENCE_TIME start, REFERENCE_TIME stop);

protected:
    HRESULT Activate() override;
    HRESULT Deactivate() override;

private:
    HRESULT MakeOutputPins();
    HRESULT StartStreaming();
    void StopStreaming();
    void DemuxThread();
    MovieSplitterOutputPin* PinForStream(int index) const;
    bool EveryQueueClosed() const;

    const Inputs m_inputs;
    CCritSec m_filter_lock;
    MovieSplitterInputPin m_input;
    MovieDemuxer m_demuxer;
    std::vector<std::unique_ptr<MovieSplitterOutputPin>> m_outputs;
    std::vector<std::unique_ptr<MovieSplitterOutputPin>> m_retired;
    std::thread m_demux_thread;
    bool m_streaming = false;  // between StartStreaming and StopStreaming

    // The segment every pin delivers, and the pins that have asked for it already.
    REFERENCE_TIME m_segment_start = 0;
    REFERENCE_TIME m_segment_stop = 0;
    std::set<const MovieSplitterOutputPin*> m_seek_asked;
};
