// The stretched stream's timing as other tools can replay it: which stretch of the source WAV
// lands where in the rendered output, taken from the paquet map the stream itself builds and
// read the way the stream reads it (leading silence first, tempo changes where the source
// read reaches a paquet's start). Writes it as Rubber Band's time map and as an FFmpeg filter
// script.
//
// Units: frames (one sample of every channel). Source frames count from the WAV's first
// sample; output frames from the first sample of the rendered file. A worked number: offset
// +0.5 s at 44,100 Hz and an event at 2.0 s with stretch +25 give the pieces [0, 66150) at
// 1.0 from output frame 22050, then [66150, end) at 1.25 from output frame 88200.
//
// Order of use: SetOffset on an open stream (the process's event list must not change
// meanwhile), Build, then read or write. One thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class StretchEvent;
class StretchedWaveStream;

class StretchTimeMap {
public:
    struct Piece {
        int64_t source_begin;  // frames
        int64_t source_end;
        float stretch;         // percent, as the processor applies it
        double output_begin;   // frames, silence included
        double Tempo() const;  // 1 + stretch / 100
        double OutputLength() const;
    };

    // Reads the stream's format, offset and source length, and the map of `head`.
    bool Build(const StretchedWaveStream& stream, StretchEvent* head);

    const std::vector<Piece>& Pieces() const { return m_pieces; }
    uint32_t SampleRate() const { return m_sample_rate; }
    uint16_t Channels() const { return m_channels; }
    int64_t SilenceFrames() const { return m_silence_frames; }  // a positive offset
    int64_t SkippedFrames() const { return m_skipped_frames; }  // a negative offset
    int64_t SourceFrames() const { return m_source_frames; }
    double OutputFrames() const;
    // Where the output plays source frame `source` (before the first piece: its start).
    double OutputFrameOf(double source) const;

    // Rubber Band's --timemap: "source target" lines for the whole WAV, taken without the
    // offset (its tool stretches from the WAV's first frame): see RubberBandDuration and
    // the offset, which the caller applies after stretching.
    std::string RubberBandTimeMap() const;
    double RubberBandDuration() const;  // seconds, for its --duration
    // An -filter_complex_script for `ffmpeg -i WAV`: pads or trims for the offset, trims
    // each piece, changes its tempo and joins them into the output pad [out].
    std::string FfmpegFilterScript() const;

private:
    static std::string ExactLength(int64_t frames);
    int64_t PieceOutputFrames(size_t index) const;
    std::string PieceFilter(const Piece& piece) const;
    std::vector<Piece> m_pieces;
    uint32_t m_sample_rate = 0;
    uint16_t m_channels = 0;
    int64_t m_silence_frames = 0;
    int64_t m_skipped_frames = 0;
    int64_t m_source_frames = 0;
};
