// tkv_make_wav SECONDS OUT.wav: writes a stereo 44.1 kHz test signal, a second at a time,
// through the project's own WAV writer, so that long sources cost no memory to make.
#include <cstdio>
#include <cstdlib>

#include "engine/WaveFileWriter.h"
#include "tests/support/WavFileBuilder.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tkv_make_wav SECONDS OUT.wav\n");
        return 2;
    }
    const long seconds = std::atol(argv[1]);
    WaveFileWriter writer;
    if (seconds <= 0 || !writer.Create(argv[2], 2, 44100, 16)) {
        std::fprintf(stderr, "tkv_make_wav: cannot write %s\n", argv[2]);
        return 1;
    }
    for (long s = 0; s < seconds; ++s) {
        const std::vector<int16_t> second = TestSignal(44100, 2, 44100, static_cast<uint32_t>(s));
        if (!writer.Write(second.data(), static_cast<uint32_t>(second.size() * 2))) return 1;
    }
    return writer.Close() ? 0 : 1;
}
