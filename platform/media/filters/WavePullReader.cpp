#include "platform/media/filters/WavePullReader.h"

#include "platform/media/filters/WaveParserFilter.h"

WavePullReader::~WavePullReader() {
    Inactive();
}

HRESULT WavePullReader::Receive(IMediaSample* sample) {
    return m_filter->DeliverSamples(sample);
}

HRESULT WavePullReader::EndOfStream() {
    return m_filter->DeliverEndOfStream();
}

// A read that fails ends the stream like the end of the data does: the graph still completes.
void WavePullReader::OnError(HRESULT /*hr*/) {
    m_filter->DeliverEndOfStream();
}
