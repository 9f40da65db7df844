#include "engine/RubberBandExport.h"

#include <rubberband/RubberBandStretcher.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include "engine/SourceWaveReader.h"
#include "engine/StretchEvent.h"
#include "engine/StretchTimeMap.h"
#include "engine/StretchedWaveStream.h"
#include "engine/TemporaryOutputFile.h"
#include "engine/TimeStretcher.h"
#include "engine/WaveFileWriter.h"

namespace {

using RubberBand::RubberBandStretcher;

constexpr int64_t kBlockFrames = 16384;

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

std::string Reason(int err) {
    return err ? std::string(": ") + std::strerror(err) : "";
}

// Source frames from a start frame on, block by block, as planar floats.
class PlanarSource {
public:
    PlanarSource(SourceWaveReader* source, uint16_t channels)
        : m_source(source),
          m_channels(channels),
          m_bytes(kBlockFrames * channels * 2),
          m_planes(channels, std::vector<float>(kBlockFrames)) {
        for (auto& plane : m_planes)
            m_pointers.push_back(plane.data());
    }

    bool SeekToFrame(int64_t frame) {
        const int64_t offset = m_source->DataOffset() + frame * m_channels * 2;
        return m_source->SeekTo(static_cast<uint32_t>(offset));
    }

    // Frames read into Planes(), at most `limit`; 0 at the end.
    int64_t Next(int64_t limit) {
        const int64_t want = std::min(limit, kBlockFrames);
        const int32_t got =
            m_source->Read(m_bytes.data(), static_cast<uint32_t>(want) * m_channels * 2);
        const int64_t frames = got > 0 ? got / (m_channels * 2) : 0;
        for (int64_t i = 0; i < frames; ++i) {
            for (uint16_t c = 0; c < m_channels; ++c) {
                int16_t s;
                std::memcpy(&s, &m_bytes[(i * m_channels + c) * 2], 2);
                m_planes[c][i] = TimeStretcher::SampleToFloat(s);
            }
        }
        return frames;
    }

    const float* const* Planes() const { return m_pointers.data(); }

private:
    SourceWaveReader* m_source;
    const uint16_t m_channels;
    std::vector<uint8_t> m_bytes;
    std::vector<std::vector<float>> m_planes;
    std::vector<const float*> m_pointers;
};

// Takes what the stretcher has ready and appends it to the file as 16-bit frames.
class PlanarSink {
public:
    PlanarSink(WaveFileWriter* writer, uint16_t channels)
        : m_writer(writer),
          m_channels(channels),
          m_planes(channels, std::vector<float>(kBlockFrames)),
          m_bytes(kBlockFrames * channels * 2) {
        for (auto& plane : m_planes)
            m_pointers.push_back(plane.data());
    }

    bool Drain(RubberBandStretcher* stretcher, uint64_t* frames_written) {
        int available;
        while ((available = stretcher->available()) > 0) {
            const size_t n = stretcher->retrieve(
                m_pointers.data(), std::min<size_t>(static_cast<size_t>(available), kBlockFrames));
            if (!WriteFrames(n)) return false;
            *frames_written += n;
        }
        return true;
    }

    bool WriteSilence(int64_t frames) {
        for (auto& plane : m_planes)
            std::fill(plane.begin(), plane.end(), 0.0f);
        for (int64_t left = frames; left > 0; left -= kBlockFrames) {
            if (!WriteFrames(static_cast<size_t>(std::min(left, kBlockFrames)))) return false;
        }
        return true;
    }

private:
    bool WriteFrames(size_t n) {
        for (size_t i = 0; i < n; ++i) {
            for (uint16_t c = 0; c < m_channels; ++c) {
                const int16_t s = TimeStretcher::FloatToSample(m_planes[c][i]);
                std::memcpy(&m_bytes[(i * m_channels + c) * 2], &s, 2);
            }
        }
        return m_writer->Write(m_bytes.data(), static_cast<uint32_t>(n * m_channels * 2));
    }

    WaveFileWriter* m_writer;
    const uint16_t m_channels;
    std::vector<std::vector<float>> m_planes;
    std::vector<float*> m_pointers;
    std::vector<uint8_t> m_bytes;
};

StretchEvent* ListHead() {
    StretchEvent** slot = CurrentEventList();
    return slot ? *slot : nullptr;
}

}  // namespace

RubberBandExport::RubberBandExport(ExportRequest request) : m_request(std::move(request)) {}

bool RubberBandExport::Run(const Progress& progress) {
    m_error.clear();
    m_frames_written = 0;
    const bool ok = Render(progress);
    if (progress) progress(100);
    return ok;
}

bool RubberBandExport::Fail(std::string message) {
    m_error = std::move(message);
    return false;
}

bool RubberBandExport::Render(const Progress& progress) {
    const std::string& output = m_request.output_path;
    if (output.empty()) return Fail("No output file is set.");
    const std::string cannot_read = "Cannot read the audio file " + Quoted(m_request.audio_path);
    StretchedWaveStream stream(StretchedWaveStream::Role::Private);
    errno = 0;
    if (!stream.Open(m_request.audio_path.c_str())) return Fail(cannot_read + Reason(errno));
    stream.SetOffset(m_request.offset_seconds);
    StretchTimeMap map;
    map.Build(stream, ListHead());
    stream.Close();

    SourceWaveReader source;
    if (!source.Open(m_request.audio_path.c_str())) return Fail(cannot_read + Reason(errno));
    TemporaryOutputFile temporary(output);
    if (!temporary.Reserve()) {
        return Fail("Cannot create the output file " + Quoted(output) + Reason(temporary.Error()));
    }
    WaveFileWriter writer;
    errno = 0;
    if (!writer.Create(temporary.Path().c_str(), map.Channels(), map.SampleRate(), 16)) {
        return Fail("Cannot create the output file " + Quoted(output) + Reason(errno));
    }
    const std::string cannot_write = "Cannot write the output file " + Quoted(output);

    // The stretcher sees the source from its first played frame, and the map from there.
    const int64_t first = map.SkippedFrames();
    const int64_t input_frames = map.SourceFrames() - first;
    const double silence = static_cast<double>(map.SilenceFrames());
    const double output_frames = map.OutputFrames() - silence;
    PlanarSink sink(&writer, map.Channels());
    if (!sink.WriteSilence(map.SilenceFrames())) return Fail(cannot_write + Reason(errno));
    m_frames_written = static_cast<uint64_t>(map.SilenceFrames());
    if (input_frames > 0 && output_frames >= 1.0) {
        RubberBandStretcher stretcher(
            map.SampleRate(), map.Channels(),
            RubberBandStretcher::OptionProcessOffline | RubberBandStretcher::OptionEngineFaster);
        stretcher.setExpectedInputDuration(static_cast<size_t>(input_frames));
        stretcher.setTimeRatio(output_frames / static_cast<double>(input_frames));
        std::map<size_t, size_t> key_frames;
        for (size_t i = 1; i < map.Pieces().size(); ++i) {
            const StretchTimeMap::Piece& piece = map.Pieces()[i];
            key_frames[static_cast<size_t>(piece.source_begin - first)] =
                static_cast<size_t>(std::llround(piece.output_begin - silence));
        }
        stretcher.setKeyFrameMap(key_frames);

        PlanarSource planes(&source, map.Channels());
        // Two passes over the source: study 0 to 20 %, stretch 20 to 99 %.
        int last_percent = -1;
        auto report = [&](int64_t done, int from, int span) {
            const int percent = std::min(
                99, from + static_cast<int>(done * span / std::max<int64_t>(input_frames, 1)));
            if (percent != last_percent && progress) progress(percent);
            last_percent = percent;
        };
        for (int pass = 0; pass < 2; ++pass) {
            if (!planes.SeekToFrame(first)) return Fail(cannot_read + Reason(errno));
            int64_t done = 0;
            while (done < input_frames) {
                const int64_t n = planes.Next(input_frames - done);
                if (n == 0) break;  // the file ended before its declared data
                done += n;
                const bool last = done >= input_frames;
                if (pass == 0) {
                    stretcher.study(planes.Planes(), static_cast<size_t>(n), last);
                    report(done, 0, 20);
                } else {
                    stretcher.process(planes.Planes(), static_cast<size_t>(n), last);
                    if (!sink.Drain(&stretcher, &m_frames_written)) {
                        return Fail(cannot_write + Reason(errno));
                    }
                    report(done, 20, 79);
                }
                if (n == 0 || last) break;
            }
            if (done < input_frames) {
                if (pass == 0)
                    stretcher.study(planes.Planes(), 0, true);
                else
                    stretcher.process(planes.Planes(), 0, true);
            }
        }
        while (stretcher.available() >= 0) {
            if (!sink.Drain(&stretcher, &m_frames_written))
                return Fail(cannot_write + Reason(errno));
            if (stretcher.available() == 0) break;
        }
    }
    errno = 0;
    if (!writer.Close()) return Fail(cannot_write + Reason(errno));
    if (!temporary.Commit()) {
        return Fail("Cannot replace the output file " + Quoted(output) + Reason(temporary.Error()));
    }
    return true;
}
