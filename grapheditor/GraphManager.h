// GraphManager: the application's one media filter graph and the interfaces the rest of the
// system drives it through. Each operation is one or a few graph calls turned into a boolean
// (a call failed when its result is negative); the editing operations tell the user, in a
// message box, what went wrong. The owner reads the event, seeking and video-window
// interfaces directly (draining events on the notify message, reading the position,
// forwarding window messages).
// Order of use: construct (initialises COM for the thread), Create once with the window that
// handles the graph's notify message (WM_USER + 2); until Create succeeds the other operations
// must not be called. Destruction releases the interfaces, then uninitialises COM.
// Threading: the user-interface thread only, which also receives the notify message.
#pragma once

#include "platform/WinTypes.h"
#include "platform/com/ComPtr.h"
#include "platform/media/control.h"
#include "platform/media/strmif.h"
#include "platform/ui/WindowMessages.h"

class CatalogueEntry;
class FilterCatalogue;
class FilterItem;
class ListCtrl;
class PinItem;

class GraphManager {
public:
    // The message the graph posts to the notify window when events are queued.
    static constexpr UINT kGraphNotifyMessage = WM_USER + 2;

    GraphManager();
    virtual ~GraphManager();
    GraphManager(const GraphManager&) = delete;
    GraphManager& operator=(const GraphManager&) = delete;

    // Graph control.
    // Makes the graph and a filter mapper and takes the eight interfaces; on any failure
    // releases what it took and returns false.
    bool Create(HWND notify_window);
    bool ReleaseAll();
    bool Run();
    // Stops and rewinds to the start.
    bool Stop();
    bool Pause();
    // The graph's duration in seconds; 0 when it cannot be had.
    double DurationSeconds();
    // Moves the current position to `seconds` (cut to 100 ns units); the stop stays.
    bool SeekToSeconds(double seconds);
    // Shows the movie's picture inside `video_control` of `owner_dialog`, over its client area.
    bool AttachVideoWindow(HWND owner_dialog, HWND video_control);
    // The frame rate of the movie's last video stream that reports one, through a media
    // detector of its own; false when none does (`rate`, when given, is then 0, or untouched
    // when no detector could be made).
    bool VideoFrameRate(const char* movie_path, float* rate);
    // Lets the graph build whatever plays `path`.
    bool RenderFile(const char* path);

    // Editing.
    // Adds the item's filter under the item's name; the item then carries the graph's name.
    bool AddFilter(FilterItem* item);
    // "Unable to remove filter" (captioned with the item's name) unless the graph took the
    // filter out and holds exactly one filter fewer.
    bool RemoveFilter(FilterItem* item);
    int CountFilters();
    // Connects directly, no filter in between. "Input Pin Empty" or "Output Pin Empty" for an
    // absent pin (the input is looked at first), "Connection failed" when the graph refuses.
    bool ConnectPins(PinItem* output, PinItem* input, const AM_MEDIA_TYPE* media_type);
    // Disconnects the one pin given (callers disconnect both ends); silent.
    bool DisconnectPin(PinItem* pin);
    // "Reconnection failed" when the graph refuses.
    bool ReconnectPin(PinItem* pin);
    // A row, inserted at the top, for every filter of the graph the catalogue knows (DMO
    // wrappers are not listed); false when the graph cannot be enumerated or a filter cannot
    // be wrapped. Each row's data is a FilterItem the row owns.
    bool FillListFromGraph(ListCtrl& list_view, FilterCatalogue& catalogue);
    // The catalogue's entry for a filter of the graph: none for a DMO wrapper, else looked up
    // by the filter's class.
    static CatalogueEntry* FindCatalogueEntry(IBaseFilter* filter, FilterCatalogue& catalogue);

    IGraphBuilder* GraphBuilder() const { return m_graph_builder.Get(); }
    IMediaControl* MediaControl() const { return m_media_control.Get(); }
    IMediaEventEx* MediaEvent() const { return m_media_event.Get(); }
    IMediaPosition* MediaPosition() const { return m_media_position.Get(); }
    IVideoWindow* VideoWindow() const { return m_video_window.Get(); }
    IMediaSeeking* MediaSeeking() const { return m_media_seeking.Get(); }

private:
    ComPtr<IGraphBuilder> m_graph_builder;  // also the graph's IFilterGraph
    ComPtr<IMediaControl> m_media_control;
    ComPtr<IMediaEventEx> m_media_event;
    ComPtr<IMediaPosition> m_media_position;
    ComPtr<IFilterMapper2> m_filter_mapper;  // held for the graph's lifetime, not used
    ComPtr<IVideoWindow> m_video_window;
    ComPtr<IBasicVideo> m_basic_video;  // held for the graph's lifetime, not used
    ComPtr<IMediaSeeking> m_media_seeking;
    bool m_com_initialized;
};
