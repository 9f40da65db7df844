#include "engine/AudioExport.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "engine/StretchedWaveStream.h"
#include "engine/TemporaryOutputFile.h"
#include "engine/WaveFileWriter.h"

namespace {

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

std::string Reason(int err) {
    return err ? std::string(": ") + std::strerror(err) : "";
}

std::string OpenProblem(SourceWaveReader::OpenError error, int err) {
    switch (error) {
        case SourceWaveReader::OpenError::CannotOpen:
            return Reason(err);
        case SourceWaveReader::OpenError::NotWave:
            return ": it is not a WAV file, or it is damaged.";
        case SourceWaveReader::OpenError::UnsupportedFormat:
            return ": only 16-bit PCM with 1 to 8 channels can be stretched.";
        case SourceWaveReader::OpenError::TooLong:
            return ": Audio file is too long !";
        case SourceWaveReader::OpenError::None:
            break;
    }
    return ".";
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ignored;
    return std::filesystem::equivalent(a, b, ignored);
}

// Reports whole percentages below 100, each once, as the output grows.
class PercentCounter {
public:
    PercentCounter(const AudioExport::Progress& progress, uint64_t expected)
        : m_progress(progress), m_expected(std::max<uint64_t>(expected, 1)) {}

    void Advance(uint64_t done) {
        const int percent = static_cast<int>(std::min<uint64_t>(done * 100 / m_expected, 99));
        if (percent != m_last) {
            m_last = percent;
            if (m_progress) m_progress(percent);
        }
    }

private:
    const AudioExport::Progress& m_progress;
    const uint64_t m_expected;
    int m_last = -1;
};

}  // namespace

AudioExport::AudioExport(ExportRequest request) : m_request(std::move(request)) {
    StretchEvent** current = CurrentEventList();
    StretchEvent* previous = nullptr;
    for (const StretchEvent* e = current ? *current : nullptr; e; e = e->m_next) {
        auto* copy = new StretchEvent(e->m_movie_pos, e->m_tempo, nullptr);
        copy->Link(&m_events_head, previous);
        previous = copy;
    }
    m_events.reset(m_events_head);
}

bool AudioExport::Run(const Progress& progress) {
    m_error.clear();
    m_bytes_written = 0;
    const bool ok = Render(progress);
    if (progress) progress(100);
    return ok;
}

bool AudioExport::Fail(std::string message) {
    m_error = std::move(message);
    return false;
}

bool AudioExport::Render(const Progress& progress) {
    const std::string& output = m_request.output_path;
    if (output.empty()) return Fail("No output file is set.");
    StretchedWaveStream stream(StretchedWaveStream::Role::Private);
    stream.SetEventList(&m_events_head);
    errno = 0;
    if (!stream.Open(m_request.audio_path.c_str())) {
        return Fail("Cannot read the audio file " + Quoted(m_request.audio_path) +
                    OpenProblem(stream.GetOpenError(), errno));
    }
    if (SameFile(output, m_request.audio_path)) {
        return Fail("The output file " + Quoted(output) +
                    " is the audio file itself; choose another output file.");
    }
    TemporaryOutputFile temporary(output);
    if (!temporary.Reserve()) {
        return Fail("Cannot create the output file " + Quoted(output) + Reason(temporary.Error()));
    }
    WaveFileWriter writer;
    errno = 0;
    if (!writer.Create(temporary.Path().c_str(), stream.GetChannels(), stream.GetSampleRate(),
                       16)) {
        return Fail("Cannot create the output file " + Quoted(output) + Reason(errno));
    }

    stream.SetOffset(m_request.offset_seconds);
    stream.Rewind();
    PercentCounter percent(progress, stream.GetExpectedOutputLength());
    percent.Advance(0);
    auto buffer = std::make_unique<uint8_t[]>(kBlockSize);
    for (;;) {
        const uint32_t got = stream.Read(buffer.get(), kBlockSize);
        if (got == 0) break;
        errno = 0;
        if (!writer.Write(buffer.get(), got)) {
            return Fail("Cannot write the output file " + Quoted(output) + Reason(errno));
        }
        m_bytes_written += got;
        percent.Advance(m_bytes_written);
    }
    errno = 0;
    if (!writer.Close()) {
        return Fail("Cannot write the output file " + Quoted(output) + Reason(errno));
    }
    if (!temporary.Commit()) {
        return Fail("Cannot replace the output file " + Quoted(output) + Reason(temporary.Error()));
    }
    return true;
}
