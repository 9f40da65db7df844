#include "app/ProjectText.h"

#include <cfloat>
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

namespace {

TEST(ProjectNumber, reads_the_longest_decimal_prefix) {
    EXPECT_FLOAT_EQ(ReadProjectNumber("1.520000"), 1.52f);
    EXPECT_FLOAT_EQ(ReadProjectNumber("  -2.5 %"), -2.5f);
    EXPECT_FLOAT_EQ(ReadProjectNumber("\t+3"), 3.0f);
    EXPECT_FLOAT_EQ(ReadProjectNumber(".5"), 0.5f);
    EXPECT_FLOAT_EQ(ReadProjectNumber("5."), 5.0f);
    EXPECT_FLOAT_EQ(ReadProjectNumber("1e3s"), 1000.0f);
    EXPECT_FLOAT_EQ(ReadProjectNumber("2E-1"), 0.2f);
    EXPECT_FLOAT_EQ(ReadProjectNumber("7e"), 7.0f);  // no exponent digits: not part of it
    EXPECT_FLOAT_EQ(ReadProjectNumber("7e+x"), 7.0f);
    EXPECT_FLOAT_EQ(ReadProjectNumber("1,5"), 1.0f);
}

TEST(ProjectNumber, anything_else_reads_as_zero) {
    for (const char* text :
         {"", "abc", "-", "+.", ".", "e5", "nan", "NAN", "inf", "-Infinity", "0x1p3", "   "}) {
        const float value = ReadProjectNumber(text);
        EXPECT_EQ(value, 0.0f) << '"' << text << '"';
    }
    EXPECT_EQ(ReadProjectNumber("0x1p3"), 0.0f);
    EXPECT_EQ(ReadProjectNumber(nullptr), 0.0f);
}

TEST(ProjectNumber, values_beyond_float_saturate_or_vanish) {
    EXPECT_EQ(ReadProjectNumber("1e400"), FLT_MAX);
    EXPECT_EQ(ReadProjectNumber("-1e400"), -FLT_MAX);
    EXPECT_EQ(ReadProjectNumber("1e39"), FLT_MAX);
    EXPECT_EQ(ReadProjectNumber("1e-400"), 0.0f);
    EXPECT_EQ(ReadProjectNumber(("1" + std::string(400, '0')).c_str()), FLT_MAX);
    EXPECT_EQ(ReadProjectNumber(("0." + std::string(400, '0') + "1").c_str()), 0.0f);
}

TEST(ProjectNumber, is_written_with_six_decimals_and_no_exponent) {
    EXPECT_EQ(FormatProjectNumber(1.52f), "1.520000");
    EXPECT_EQ(FormatProjectNumber(-2.5f), "-2.500000");
    EXPECT_EQ(FormatProjectNumber(0.0f), "0.000000");
    EXPECT_EQ(FormatProjectNumber(3.25f), "3.250000");
    EXPECT_EQ(FormatProjectNumber(12.5f), "12.500000");
    EXPECT_EQ(FormatProjectNumber(75.25f), "75.250000");
    EXPECT_EQ(FormatProjectNumber(1e10f), "10000000000.000000");
    EXPECT_EQ(FormatProjectNumber(1e-7f), "0.000000");
}

class ReadLineTest : public ::testing::Test {
protected:
    std::FILE* Open(const std::string& content) {
        const std::string path = dir.File("lines.txt");
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
        file = std::fopen(path.c_str(), "rb");
        return file;
    }
    void TearDown() override {
        if (file) std::fclose(file);
    }
    TempDir dir;
    std::FILE* file = nullptr;
};

TEST_F(ReadLineTest, strips_cr_and_lf_and_splits_long_lines) {
    Open("one\r\ntwo\nthree\r\r\n\nabcdefgh");
    char buffer[6] = "xxxxx";
    EXPECT_STREQ(ReadLine(buffer, 6, file), "one");
    EXPECT_STREQ(ReadLine(buffer, 6, file), "two");
    EXPECT_STREQ(ReadLine(buffer, 6, file), "three");  // exactly size - 1 characters
    EXPECT_STREQ(ReadLine(buffer, 6, file), "");       // the rest of that line
    EXPECT_STREQ(ReadLine(buffer, 6, file), "");       // a blank line
    EXPECT_STREQ(ReadLine(buffer, 6, file), "abcde");
    EXPECT_STREQ(ReadLine(buffer, 6, file), "fgh");
    EXPECT_EQ(ReadLine(buffer, 6, file), nullptr);
    EXPECT_STREQ(buffer, "fgh");  // left as it was at the end
}

TEST_F(ReadLineTest, cr_lf_split_by_a_full_buffer_ends_one_line) {
    // A 4-character line with CR LF fills a 6-byte buffer up to the CR; a lone CR stays a
    // line end of its own, and the character after it is kept.
    Open("abcd\r\nnext\r\nwxyz\rtail\n");
    char buffer[6] = "xxxxx";
    EXPECT_STREQ(ReadLine(buffer, 6, file), "abcd");
    EXPECT_STREQ(ReadLine(buffer, 6, file), "next");
    EXPECT_STREQ(ReadLine(buffer, 6, file), "wxyz");
    EXPECT_STREQ(ReadLine(buffer, 6, file), "tail");
    EXPECT_EQ(ReadLine(buffer, 6, file), nullptr);
}

}  // namespace
