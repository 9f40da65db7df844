// StreamDecoder: FFmpeg's decoder for one demuxed stream (video or audio).
// Order of use: Open; then Send a packet and Receive frames until it asks for more; Send
// nothing (null) at the end to drain it; Flush after a seek.
// Threading: one thread at a time (the stream's delivery thread while streaming, the control
// thread while it is stopped).
#pragma once

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct AVStream;

class StreamDecoder {
public:
    StreamDecoder() = default;
    ~StreamDecoder();
    StreamDecoder(const StreamDecoder&) = delete;
    StreamDecoder& operator=(const StreamDecoder&) = delete;

    // False when no decoder takes the stream.
    bool Open(const AVStream* stream);
    // FFmpeg's codes: 0, AVERROR(EAGAIN) when frames must be taken first, another negative
    // code for a packet it cannot use (damaged data: the caller skips it).
    int Send(const AVPacket* packet);
    // 0 with a frame, AVERROR(EAGAIN) when it needs a packet, AVERROR_EOF once drained.
    int Receive(AVFrame* frame);
    void Flush();

private:
    AVCodecContext* m_context = nullptr;
};
