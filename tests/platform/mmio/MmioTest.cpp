#include "platform/mmio/mmio.h"

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"
#include "tests/support/WavFileBuilder.h"

namespace {

constexpr FOURCC kWave = mmioFOURCC('W', 'A', 'V', 'E');
constexpr FOURCC kFmt = mmioFOURCC('f', 'm', 't', ' ');
constexpr FOURCC kData = mmioFOURCC('d', 'a', 't', 'a');

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

class MmioTest : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(MmioTest, created_chunks_get_their_sizes_and_pad_bytes_on_ascend) {
    const std::string path = dir.File("out.riff");
    HMMIO h = mmioOpenA(path.c_str(), nullptr, MMIO_CREATE | MMIO_WRITE);
    ASSERT_NE(h, nullptr);
    MMCKINFO riff;
    riff.fccType = kWave;
    ASSERT_EQ(mmioCreateChunk(h, &riff, MMIO_CREATERIFF), MMSYSERR_NOERROR);
    EXPECT_EQ(riff.dwDataOffset, 8u);
    MMCKINFO odd;
    odd.ckid = mmioFOURCC('o', 'd', 'd', ' ');
    ASSERT_EQ(mmioCreateChunk(h, &odd, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(mmioWrite(h, "abc", 3), 3);
    ASSERT_EQ(mmioAscend(h, &odd, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(odd.cksize, 3u);
    EXPECT_EQ(mmioSeek(h, 0, SEEK_CUR), 12 + 8 + 4);  // after the pad byte
    ASSERT_EQ(mmioAscend(h, &riff, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(mmioClose(h, 0), MMSYSERR_NOERROR);

    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 24u);
    EXPECT_EQ(Le32(bytes, 4), 16u);  // form type + odd chunk + pad
    EXPECT_EQ(Le32(bytes, 16), 3u);
    EXPECT_EQ(bytes[23], 0);
}

TEST_F(MmioTest, descend_finds_chunks_inside_the_parent_only) {
    const std::string path = dir.File("in.wav");
    WavFileBuilder()
        .ChunkBeforeData("junk", std::vector<uint8_t>(7, 1))
        .Samples({1, 2})
        .Write(path);
    HMMIO h = mmioOpenA(path.c_str(), nullptr, MMIO_READ);
    ASSERT_NE(h, nullptr);
    MMCKINFO riff;
    riff.fccType = kWave;
    ASSERT_EQ(mmioDescend(h, &riff, nullptr, MMIO_FINDRIFF), MMSYSERR_NOERROR);
    EXPECT_EQ(riff.dwDataOffset, 8u);
    EXPECT_EQ(mmioSeek(h, 0, SEEK_CUR), 12);
    MMCKINFO data;
    data.ckid = kData;
    ASSERT_EQ(mmioDescend(h, &data, &riff, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
    EXPECT_EQ(data.cksize, 4u);
    EXPECT_EQ(mmioSeek(h, 0, SEEK_CUR), static_cast<LONG>(data.dwDataOffset));
    ASSERT_EQ(mmioAscend(h, &data, 0), MMSYSERR_NOERROR);
    MMCKINFO fmt;
    fmt.ckid = kFmt;  // before the position: not found going forward
    EXPECT_EQ(mmioDescend(h, &fmt, &riff, MMIO_FINDCHUNK), MMIOERR_CHUNKNOTFOUND);
    mmioSeek(h, 12, SEEK_SET);
    EXPECT_EQ(mmioDescend(h, &fmt, &riff, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
    MMCKINFO other;
    other.fccType = mmioFOURCC('A', 'V', 'I', ' ');
    mmioSeek(h, 0, SEEK_SET);
    EXPECT_EQ(mmioDescend(h, &other, nullptr, MMIO_FINDRIFF), MMIOERR_CHUNKNOTFOUND);
    mmioClose(h, 0);
}

TEST_F(MmioTest, lying_sizes_never_lead_outside_the_file) {
    const std::string path = dir.File("lies.wav");
    std::vector<uint8_t> bytes = WavFileBuilder().Samples({1, 2, 3}).Bytes();
    bytes[16] = 0xF0;  // "fmt " claims almost 4 GiB
    bytes[17] = 0xFF;
    bytes[18] = 0xFF;
    bytes[19] = 0xFF;
    FILE* f = fopen(path.c_str(), "wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    HMMIO h = mmioOpenA(path.c_str(), nullptr, MMIO_READ);
    ASSERT_NE(h, nullptr);
    MMCKINFO riff;
    riff.fccType = kWave;
    ASSERT_EQ(mmioDescend(h, &riff, nullptr, MMIO_FINDRIFF), MMSYSERR_NOERROR);
    MMCKINFO data;
    data.ckid = kData;
    EXPECT_EQ(mmioDescend(h, &data, &riff, MMIO_FINDCHUNK), MMIOERR_CHUNKNOTFOUND);
    mmioSeek(h, 12, SEEK_SET);
    MMCKINFO fmt;
    fmt.ckid = kFmt;
    ASSERT_EQ(mmioDescend(h, &fmt, &riff, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
    std::vector<char> buffer(64);
    EXPECT_EQ(mmioRead(h, buffer.data(), 64), static_cast<LONG>(bytes.size() - 20));
    EXPECT_EQ(mmioRead(h, buffer.data(), 64), 0);
    EXPECT_EQ(mmioAscend(h, &fmt, 0), MMSYSERR_NOERROR);  // far past the end: allowed
    EXPECT_EQ(mmioSeek(h, 0, SEEK_CUR), -1);              // not expressible in 32 bits
    mmioClose(h, 0);
}

TEST_F(MmioTest, open_reports_why_it_failed) {
    MMIOINFO info;
    EXPECT_EQ(mmioOpenA(dir.File("none.wav").c_str(), &info, MMIO_READ), nullptr);
    EXPECT_EQ(info.wErrorRet, MMIOERR_FILENOTFOUND);
    EXPECT_EQ(mmioOpenA(dir.File("no/such/dir.wav").c_str(), &info, MMIO_CREATE | MMIO_WRITE),
              nullptr);
    EXPECT_NE(info.wErrorRet, MMSYSERR_NOERROR);
    EXPECT_EQ(mmioOpenA(nullptr, &info, MMIO_READ), nullptr);
    EXPECT_EQ(mmioRead(nullptr, nullptr, 4), -1);
    EXPECT_EQ(mmioSeek(nullptr, 0, SEEK_SET), -1);
    EXPECT_EQ(mmioClose(nullptr, 0), MMSYSERR_INVALHANDLE);
}

TEST_F(MmioTest, reads_and_writes_interleave_on_one_handle) {
    const std::string path = dir.File("rw.bin");
    HMMIO h = mmioOpenA(path.c_str(), nullptr, MMIO_CREATE | MMIO_READWRITE);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(mmioWrite(h, "0123456789", 10), 10);
    EXPECT_EQ(mmioSeek(h, 2, SEEK_SET), 2);
    char got[4] = {};
    EXPECT_EQ(mmioRead(h, got, 3), 3);
    EXPECT_EQ(std::string(got, 3), "234");
    EXPECT_EQ(mmioWrite(h, "xy", 2), 2);
    EXPECT_EQ(mmioSeek(h, 0, SEEK_END), 10);
    EXPECT_EQ(mmioSeek(h, -10, SEEK_CUR), 0);
    EXPECT_EQ(mmioSeek(h, -1, SEEK_CUR), -1);
    char all[11] = {};
    EXPECT_EQ(mmioRead(h, all, 10), 10);
    EXPECT_EQ(std::string(all), "01234xy789");
    EXPECT_EQ(mmioClose(h, 0), MMSYSERR_NOERROR);
}

}  // namespace
