#include "engine/StretchTimeMap.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/PaquetMap.h"
#include "engine/StretchEvent.h"
#include "engine/StretchMath.h"
#include "engine/StretchedWaveStream.h"

namespace {

// FFmpeg's atempo takes 0.5 to 100 per instance; slower tempos are chained halvings.
constexpr double kAtempoMin = 0.5;

std::string Decimal(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

std::string Frames(double frames) {
    return std::to_string(std::llround(frames));
}

// The tempos of the atempo instances that make up `tempo`, in order.
std::vector<double> AtempoStages(double tempo) {
    std::vector<double> stages;
    while (tempo < kAtempoMin) {
        stages.push_back(kAtempoMin);
        tempo /= kAtempoMin;
    }
    stages.push_back(tempo);
    return stages;
}

std::string AtempoChain(const std::vector<double>& stages) {
    std::string chain;
    for (double stage : stages)
        chain += ",atempo=" + Decimal(stage);
    return chain;
}

// atempo overlaps windows of 1/24 s rounded up to a power of two frames, and its output
// starts half a window into its input (measured: a piece's clicks came 1024 / tempo frames
// early at 44.1 kHz). Each instance of a chain takes its half window from the previous one's
// output, that is half a window times the tempos before it in source frames.
int64_t AtempoLead(uint32_t sample_rate, const std::vector<double>& stages) {
    int64_t window = 1;
    while (window < static_cast<int64_t>(sample_rate / 24))
        window *= 2;
    double lead = 0.0;
    double pace = 1.0;
    for (double stage : stages) {
        lead += static_cast<double>(window / 2) * pace;
        pace *= stage;
    }
    return std::llround(lead);
}

}  // namespace

double StretchTimeMap::Piece::Tempo() const {
    return static_cast<double>(ClampStretch(stretch)) / 100.0 + 1.0;
}

double StretchTimeMap::Piece::OutputLength() const {
    return static_cast<double>(source_end - source_begin) / Tempo();
}

bool StretchTimeMap::Build(const StretchedWaveStream& stream, StretchEvent* head) {
    m_pieces.clear();
    if (!stream.IsOpen()) return false;
    const int64_t frame = stream.GetBlockAlign();
    const int64_t data_offset = stream.GetDataOffset();
    m_sample_rate = stream.GetSampleRate();
    m_channels = stream.GetChannels();
    m_source_frames = std::max<int64_t>(stream.GetSourceEnd() - data_offset, 0) / frame;

    // The same map the stream builds, and the source byte its Rewind reads first.
    PaquetMap map;
    map.Configure(m_sample_rate * static_cast<uint32_t>(frame), static_cast<uint32_t>(frame),
                  static_cast<uint32_t>(data_offset));
    map.SetOffsetBytes(stream.GetOffsetBytes());
    map.Build(head);
    const uint32_t start_virtual = static_cast<uint32_t>(data_offset);
    const int64_t start =
        map.RealPosition(PaquetMap::FindCurrent(head, start_virtual, nullptr), start_virtual);
    m_silence_frames = std::max<int32_t>(stream.GetOffsetBytes(), 0) / frame;
    m_skipped_frames = std::min((start - data_offset) / frame, m_source_frames);

    // The processor takes a paquet's tempo once the read reaches its start; every paquet
    // that starts at or before the first byte read is in force from there on.
    float stretch = 0.0f;
    int64_t begin = m_skipped_frames;
    double output = static_cast<double>(m_silence_frames);
    for (const StretchEvent* e = head; e; e = e->m_next) {
        const int64_t boundary = (e->SignedRealBytePos() - data_offset) / frame;
        if (boundary >= m_source_frames) break;
        if (boundary > begin) {
            m_pieces.push_back({begin, boundary, stretch, output});
            output += m_pieces.back().OutputLength();
            begin = boundary;
        }
        stretch = ClampStretch(e->m_tempo);
    }
    if (begin < m_source_frames) m_pieces.push_back({begin, m_source_frames, stretch, output});
    return true;
}

double StretchTimeMap::OutputFrames() const {
    if (m_pieces.empty()) return static_cast<double>(m_silence_frames);
    return m_pieces.back().output_begin + m_pieces.back().OutputLength();
}

double StretchTimeMap::OutputFrameOf(double source) const {
    const Piece* piece = nullptr;
    for (const Piece& p : m_pieces) {
        if (static_cast<double>(p.source_begin) <= source) piece = &p;
    }
    if (!piece) return m_pieces.empty() ? 0.0 : m_pieces.front().output_begin;
    return piece->output_begin +
           (source - static_cast<double>(piece->source_begin)) / piece->Tempo();
}

std::string StretchTimeMap::RubberBandTimeMap() const {
    // Its output starts at the WAV's first frame, without the silence, and the frames a
    // negative offset skips play there at tempo 1 (no paquet starts before them).
    const double shift = static_cast<double>(m_skipped_frames - m_silence_frames);
    std::string text;
    for (size_t i = 1; i < m_pieces.size(); ++i) {
        text += std::to_string(m_pieces[i].source_begin) + " " +
                Frames(m_pieces[i].output_begin + shift) + "\n";
    }
    text += std::to_string(m_source_frames) + " " + Frames(OutputFrames() + shift) + "\n";
    return text;
}

double StretchTimeMap::RubberBandDuration() const {
    const double frames = OutputFrames() + static_cast<double>(m_skipped_frames - m_silence_frames);
    return frames / std::max<uint32_t>(m_sample_rate, 1);
}

// atempo's output of a piece comes out a window short or long; cut or padded to the length the
// map gives, every piece starts where it belongs and no error builds up along the joins.
std::string StretchTimeMap::ExactLength(int64_t frames) {
    const std::string length = std::to_string(std::max<int64_t>(frames, 0));
    return ",apad=whole_len=" + length + ",atrim=end_sample=" + length;
}

// The piece's length in output frames, between rounded boundaries so that the lengths add up.
int64_t StretchTimeMap::PieceOutputFrames(size_t index) const {
    const double begin = m_pieces[index].output_begin;
    const double end =
        index + 1 < m_pieces.size() ? m_pieces[index + 1].output_begin : OutputFrames();
    return std::llround(end) - std::llround(begin);
}

// A piece's trim and tempo change. atempo is fed from its lead before the piece (the WAV's
// own frames, or silence before the first), so that the piece's first frame comes out first,
// and a window on past its end, so that its last frames come out before the cut.
std::string StretchTimeMap::PieceFilter(const Piece& piece) const {
    if (piece.stretch == 0.0f) {
        return "atrim=start_sample=" + std::to_string(piece.source_begin) +
               ":end_sample=" + std::to_string(piece.source_end) + ",asetpts=PTS-STARTPTS";
    }
    const std::vector<double> stages = AtempoStages(piece.Tempo());
    const int64_t lead = AtempoLead(m_sample_rate, stages);
    const int64_t begin = std::max<int64_t>(piece.source_begin - lead, 0);
    const int64_t end = std::min(piece.source_end + 2 * lead, m_source_frames);
    const int64_t silence = lead - (piece.source_begin - begin);
    return "atrim=start_sample=" + std::to_string(begin) + ":end_sample=" + std::to_string(end) +
           ",asetpts=PTS-STARTPTS" +
           (silence > 0 ? ",adelay=delays=" + std::to_string(silence) + "S:all=1" : "") +
           AtempoChain(stages);
}

std::string StretchTimeMap::FfmpegFilterScript() const {
    std::string script;
    const size_t n = m_pieces.size();
    if (n == 0) return "[0:a]atrim=end_sample=0[out]\n";
    if (n > 1) {
        script += "[0:a]asplit=" + std::to_string(n);
        for (size_t i = 0; i < n; ++i)
            script += "[in" + std::to_string(i) + "]";
        script += ";\n";
    }
    for (size_t i = 0; i < n; ++i) {
        script += (n > 1 ? "[in" + std::to_string(i) + "]" : std::string("[0:a]")) +
                  PieceFilter(m_pieces[i]) + ExactLength(PieceOutputFrames(i)) + "[piece" +
                  std::to_string(i) + "];\n";
    }
    for (size_t i = 0; i < n; ++i)
        script += "[piece" + std::to_string(i) + "]";
    script += "concat=n=" + std::to_string(n) + ":v=0:a=1";
    if (m_silence_frames > 0) {
        script += ",adelay=delays=" + std::to_string(m_silence_frames) + "S:all=1";
    }
    return script + "[out]\n";
}
