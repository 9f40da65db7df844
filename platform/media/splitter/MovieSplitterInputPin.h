// MovieSplitterInputPin: the movie splitter's input "Input". It takes a byte stream of a
// subtype its filter takes (MovieSplitterFilter::TakesStreamSubtype) from an output pin that
// offers IAsyncReader; on connection the filter opens the movie through that reader and makes
// its output pins, and the connection fails when FFmpeg cannot open the bytes.
// Order of use: connect; the filter reads through the reader from then on.
// Threading: connection under the filter lock.
#pragma once

#include "platform/media/base/CBasePin.h"

class MovieSplitterFilter;

class MovieSplitterInputPin : public CBasePin {
public:
    MovieSplitterInputPin(MovieSplitterFilter* filter, CCritSec* lock);

    HRESULT CheckMediaType(const CMediaType* type) override;

    // The filter pulls; nothing is pushed at this pin.
    HRESULT BeginFlush() override { return S_OK; }
    HRESULT EndFlush() override { return S_OK; }

protected:
    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CompleteConnect(IPin* receive_pin) override;
    HRESULT BreakConnect() override;

private:
    MovieSplitterFilter* const m_splitter;
};
