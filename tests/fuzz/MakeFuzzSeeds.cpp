// tkv_make_fuzz_seeds FOLDER: writes the fuzzers' seed corpora, small valid inputs of each
// kind, into FOLDER/<harness>/: WAVs (mono and stereo, plain and extensible, with an extra
// chunk), tiny movies (MPEG-1 + MP2, MJPEG + PCM in AVI), projects and registry stores.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/MovieFileMaker.h"
#include "tests/support/WavFileBuilder.h"

namespace {

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

void MakeWavs(const std::string& folder) {
    WavFileBuilder()
        .Channels(1)
        .Rate(8000)
        .Samples(TestSignal(400, 1, 8000))
        .Write(folder + "/mono8k.wav");
    WavFileBuilder()
        .Channels(2)
        .Rate(44100)
        .Samples(TestSignal(300, 2, 44100))
        .Write(folder + "/stereo.wav");
    WavFileBuilder()
        .Channels(2)
        .Rate(22050)
        .Extensible(true)
        .ChunkBeforeData("LIST", {'I', 'N', 'F', 'O'})
        .Samples(TestSignal(200, 2, 22050))
        .Write(folder + "/extensible.wav");
    WavFileBuilder()
        .Channels(1)
        .Rate(8000)
        .Samples(TestSignal(100, 1, 8000))
        .DeclaredDataSize(0xFFFFFFF0u)
        .Write(folder + "/long-claim.wav");
}

bool MakeMovies(const std::string& folder) {
    for (MovieRecipe recipe : {MovieRecipe::Mpeg(), MovieRecipe::Avi()}) {
        recipe.width = 32;
        recipe.height = 32;
        recipe.frames = 4;
        recipe.key_frame_every = 2;
        recipe.sample_rate = 32000;  // the lowest MP2 takes
        recipe.channels = 1;
        std::string error;
        const std::string path = folder + "/tiny." + (recipe.container == "avi" ? "avi" : "mpg");
        if (!MovieFileMaker::Make(path, recipe, &error)) {
            std::fprintf(stderr, "tkv_make_fuzz_seeds: %s: %s\n", path.c_str(), error.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tkv_make_fuzz_seeds FOLDER\n");
        return 2;
    }
    namespace fs = std::filesystem;
    const std::string root = argv[1];
    const std::vector<std::string> wav_harnesses = {"wave_stream", "wave_header", "mmio_chunks"};
    const std::vector<std::string> movie_harnesses = {"movie_splitter", "media_detector"};
    try {
        for (const std::string& name : wav_harnesses) {
            fs::create_directories(root + "/" + name);
            MakeWavs(root + "/" + name);
        }
        for (const std::string& name : movie_harnesses) {
            fs::create_directories(root + "/" + name);
            if (!MakeMovies(root + "/" + name)) return 1;
        }
        fs::create_directories(root + "/project_file");
        WriteText(root + "/project_file/events.tkv",
                  "/movies/a b.mpg\r\n/sound/a.wav\r\n/out/a.wav\r\n-1.500000\r\n"
                  "2.500000\r\n0.000000\r\n-10.000000\r\n12.040000\r\n0.000000\r\n60.000000\r\n");
        WriteText(root + "/project_file/empty-paths.tkv", "\r\n\r\n\r\n0.000000\r\n");
        fs::create_directories(root + "/registry_text");
        WriteText(root + "/registry_text/store.reg",
                  "; fuzz seed\n[SOFTWARE]\n[SOFTWARE\\Classes]\n[SOFTWARE\\Classes\\CLSID]\n"
                  "[SOFTWARE\\Classes\\CLSID\\{C553F2C0-1529-11D0-B4D1-00805F6CBBEA}]\n"
                  "@=\"Tarvik Time Stretcher\"\n\"Merit\"=dword:00400000\n"
                  "\"Pins\"=hex:01,00,ff\n\"Path\"=hex(2):25,00\n\"Quote\"=\"a\\\\b\\\"c\\x01\"\n"
                  "[SOFTWARE\\odd%25name%5c]\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tkv_make_fuzz_seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
