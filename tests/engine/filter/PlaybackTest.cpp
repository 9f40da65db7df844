// What you hear is what you render: the playback graph "Tarvik Time Stretcher" -> "Wave
// Parser" -> "Default DirectSound Device", run from start to end with SDL's disk driver
// capturing what the device played, against the export of the same WAV, offset and events.
// The device plays silence before the first sample and after the last, and the parser plays
// what the header declares: so the capture, silence trimmed, must be the export's data chunk
// cut at the declared size, silence trimmed too. Then a seek while running and an offset
// changed while running.
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>
#include <utility>

#include "engine/AudioExport.h"
#include "engine/StreamAdapter.h"
#include "platform/media/dshow.h"
#include "platform/registry/RegistrySetup.h"
#include "tests/engine/filter/SourceFilterFixture.h"
#include "tests/platform/media/support/GraphInterfaces.h"
#include "tests/support/WavData.h"

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

constexpr long kCompletionBoundMs = 30'000;

class Playback : public SourceFilterFixture, protected GraphInterfaces {
protected:
    void SetUp() override {
        SourceFilterFixture::SetUp();
        m_capture = dir.File("capture.raw");
        SetEnvironment("SDL_AUDIODRIVER", "disk");
        SetEnvironment("SDL_DISKAUDIOFILE", m_capture);
        RegistrySetFolder(m_registry.Path().string());
        MakeGraph();
    }

    void TearDown() override {
        ReleaseGraphAndFilter();
        RegistrySetFolder("");
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second) {
                setenv(it->first.c_str(), it->second->c_str(), 1);
            } else {
                unsetenv(it->first.c_str());
            }
        }
        SourceFilterFixture::TearDown();
    }

    void SetEnvironment(const std::string& name, const std::string& value) {
        const char* old = std::getenv(name.c_str());
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(name.c_str(), value.c_str(), 1);
    }

    // The main window's way: create, Load, give the offset, then connect pin to pin.
    void Build(const std::string& path, float offset) {
        MakeFilter();
        ASSERT_EQ(Load(path), S_OK);
        StreamAdapter::EditCurrentStream([&](StretchedWaveStream* stream) {
            ASSERT_EQ(stream, &source->Stream());
            stream->SetOffset(offset);
        });
        ComPtr<IBaseFilter> parser;
        ComPtr<IBaseFilter> renderer;
        ASSERT_EQ(CoCreateInstance(CLSID_WAVEParser, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(parser.GetAddressOf())),
                  S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_DSoundRender, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(renderer.GetAddressOf())),
                  S_OK);
        ASSERT_EQ(m_graph->AddFilter(filter.Get(), TimeStretchSource::kName), S_OK);
        ASSERT_EQ(m_graph->AddFilter(parser.Get(), u"Wave Parser"), S_OK);
        ASSERT_EQ(m_graph->AddFilter(renderer.Get(), u"Default DirectSound Device"), S_OK);
        ComPtr<IPin> parser_in;
        ComPtr<IPin> parser_out;
        ComPtr<IPin> renderer_in;
        ASSERT_EQ(parser->FindPin(u"input", parser_in.GetAddressOf()), S_OK);
        ASSERT_TRUE(OutputPin(parser.Get(), &parser_out));
        ASSERT_EQ(renderer->FindPin(u"Audio Input pin (rendered)", renderer_in.GetAddressOf()),
                  S_OK);
        ASSERT_EQ(m_graph->ConnectDirect(pin.Get(), parser_in.Get(), nullptr), S_OK);
        ASSERT_EQ(m_graph->ConnectDirect(parser_out.Get(), renderer_in.Get(), nullptr), S_OK);
    }

    static bool OutputPin(IBaseFilter* owner, ComPtr<IPin>* found) {
        ComPtr<IEnumPins> pins;
        if (owner->EnumPins(pins.GetAddressOf()) != S_OK) return false;
        IPin* next = nullptr;
        while (pins->Next(1, &next, nullptr) == S_OK) {
            PIN_DIRECTION direction = PINDIR_INPUT;
            next->QueryDirection(&direction);
            if (direction == PINDIR_OUTPUT) {
                found->Attach(next);
                return true;
            }
            next->Release();
        }
        return false;
    }

    bool WaitForCompletion() { return WaitForEvent(EC_COMPLETE, kCompletionBoundMs); }

    void RunToTheEnd() {
        ASSERT_TRUE(SUCCEEDED(m_control->Run()));
        ASSERT_TRUE(WaitForCompletion());
        ASSERT_EQ(m_control->Stop(), S_OK);
    }

    void ReleaseGraphAndFilter() {
        ReleaseGraph();
        ReleaseFilter();
    }

    // What the device played; the device writes its file until it closes with the graph.
    Bytes Played() {
        ReleaseGraphAndFilter();
        return ReadFileBytes(m_capture);
    }

    // The export's data chunk for the same file, offset and events.
    Bytes Exported(const std::string& path, float offset) {
        ExportRequest request;
        request.audio_path = path;
        request.output_path = dir.File("export.wav");
        request.offset_seconds = offset;
        AudioExport exporter(request);
        EXPECT_TRUE(exporter.Run(nullptr)) << exporter.ErrorMessage();
        Bytes data;
        if (!WavDataChunk(ReadFileBytes(request.output_path), &data)) {
            ADD_FAILURE() << "no data chunk in the export";
        }
        return data;
    }

    // A private stream with the same file and events, started at `virtual_pos` as a seek
    // starts it, read to the declared end.
    Bytes SeekedFrom(const std::string& path, float offset, uint32_t virtual_pos) {
        return ReadFrom(path, offset, virtual_pos, kHeader + data_size - virtual_pos);
    }

    static Bytes Declared(Bytes data, uint32_t declared) {
        if (data.size() > declared) data.resize(declared);
        return data;
    }

    // Leading and trailing silent frames removed.
    static Bytes Trimmed(const Bytes& bytes) { return TrimSilentFrames(bytes, kFrameBytes); }
    // How many whole frames `a` and `b` share from their start.
    static size_t CommonFrames(const Bytes& a, const Bytes& b) {
        size_t at = 0;
        while (at + kFrameBytes <= a.size() && at + kFrameBytes <= b.size() &&
               std::memcmp(a.data() + at, b.data() + at, kFrameBytes) == 0) {
            at += kFrameBytes;
        }
        return at;
    }
    static Bytes From(const Bytes& bytes, size_t at) {
        return Trimmed(Bytes(
            bytes.begin() + static_cast<std::ptrdiff_t>(std::min(at, bytes.size())), bytes.end()));
    }

    void ExpectPlayedAsExported(float offset) {
        const std::string path = MakeWav(1.5);
        Build(path, offset);
        RunToTheEnd();
        const Bytes played = Trimmed(Played());
        const Bytes exported = Trimmed(Declared(Exported(path, offset), data_size));
        ASSERT_FALSE(exported.empty());
        EXPECT_EQ(played.size(), exported.size());
        EXPECT_TRUE(played == exported)
            << "first difference at byte " << CommonFrames(played, exported);
    }

private:
    TempDir m_registry;
    std::string m_capture;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

TEST_F(Playback, with_no_events_the_device_plays_what_the_export_writes) {
    ExpectPlayedAsExported(0.0f);
}

TEST_F(Playback, with_a_positive_offset_the_device_plays_what_the_export_writes) {
    ExpectPlayedAsExported(0.3f);
}

TEST_F(Playback, with_a_negative_offset_the_device_plays_what_the_export_writes) {
    ExpectPlayedAsExported(-0.3f);
}

TEST_F(Playback, with_events_of_different_signs_the_device_plays_what_the_export_writes) {
    AddEvent(0.2f, 40.0f);
    AddEvent(0.6f, -35.0f);
    AddEvent(1.0f, 15.0f);
    ExpectPlayedAsExported(0.1f);
}

TEST_F(Playback, a_seek_while_running_lands_the_stretched_audio_at_the_mapped_position) {
    AddEvent(0.5f, 30.0f);
    AddEvent(1.5f, -20.0f);
    const std::string path = MakeWav(3.0);
    Build(path, 0.0f);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    std::this_thread::sleep_for(300ms);
    LONGLONG target = 20'000'000;  // 2.0 s: virtual byte 44 + 64,000
    ASSERT_EQ(m_seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr,
                                      AM_SEEKING_NoPositioning),
              S_OK);
    LONGLONG position = -1;
    ASSERT_EQ(m_seeking->GetCurrentPosition(&position), S_OK);
    EXPECT_NEAR(static_cast<double>(position), 20'000'000.0, 2'500'000.0);  // one buffer
    ASSERT_TRUE(WaitForCompletion());
    ASSERT_EQ(m_control->Stop(), S_OK);

    const Bytes played = Trimmed(Played());
    const Bytes exported = Exported(path, 0.0f);
    const size_t before = CommonFrames(played, Trimmed(exported));
    ASSERT_GT(before, 0u);
    ASSERT_LT(before, played.size()) << "the seek did not show";
    const Bytes landed = Trimmed(SeekedFrom(path, 0.0f, kHeader + 2 * kBytesPerSecond));
    ASSERT_FALSE(landed.empty());
    EXPECT_TRUE(From(played, before) == landed)
        << "after the seek: " << CommonFrames(From(played, before), landed) << " of "
        << landed.size() << " bytes as expected";
}

TEST_F(Playback, an_offset_changed_while_running_takes_effect_at_the_next_read) {
    const std::string path = MakeWav(4.0);
    Build(path, 0.0f);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    std::this_thread::sleep_for(300ms);
    uint32_t changed_at = 0;
    StreamAdapter::EditCurrentStream([&](StretchedWaveStream* stream) {
        ASSERT_NE(stream, nullptr);
        changed_at = stream->GetPosition();
        AddEvent(0.0f, 25.0f);
        stream->SetOffset(-0.2f);
    });
    ASSERT_GT(changed_at, kHeader);
    ASSERT_LT(changed_at, kHeader + data_size - kBytesPerSecond / 2) << "read too far ahead";
    ASSERT_TRUE(WaitForCompletion());
    ASSERT_EQ(m_control->Stop(), S_OK);

    // Everything read before the change is played as the old map made it; from the next
    // read on, the new map: what a stream with the new offset and events yields from there.
    const Bytes played = Trimmed(Played());
    delete head;
    head = nullptr;
    const Bytes old_map = Exported(path, 0.0f);
    AddEvent(0.0f, 25.0f);
    const Bytes new_map = SeekedFrom(path, -0.2f, changed_at);
    Bytes expected(old_map.begin(), old_map.begin() + (changed_at - kHeader));
    expected.insert(expected.end(), new_map.begin(), new_map.end());
    expected = Trimmed(expected);
    EXPECT_EQ(played.size(), expected.size());
    EXPECT_TRUE(played == expected) << "first difference at byte " << CommonFrames(played, expected)
                                    << ", change at " << changed_at - kHeader;
}

}  // namespace
