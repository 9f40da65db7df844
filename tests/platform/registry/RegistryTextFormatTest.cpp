#include "platform/registry/RegistryTextFormat.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "platform/registry/winreg.h"

namespace {

std::vector<BYTE> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST(RegistryTextFormatTest, writes_a_readable_reg_like_text) {
    RegistryKey root;
    RegistryKey& key = root.AddSubkey("SOFTWARE", nullptr).AddSubkey("TKV", nullptr);
    key.SetValue("", REG_SZ, Bytes(std::string("a \"quoted\" \\ path\n") + '\0'));
    key.SetValue("Merit", REG_DWORD, {0x00, 0x00, 0x40, 0x00});
    key.SetValue("Pins", REG_BINARY, {0x01, 0xFF});
    key.SetValue("Unterminated", REG_SZ, Bytes("ab"));
    const std::string text = SerializeRegistry(root, "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(text.substr(text.find("\n[")),
              "\n[SOFTWARE]\n"
              "\n[SOFTWARE\\TKV]\n"
              "@=\"a \\\"quoted\\\" \\\\ path\\x0a\"\n"
              "\"Merit\"=dword:00400000\n"
              "\"Pins\"=hex:01,ff\n"
              "\"Unterminated\"=hex(1):61,62\n");

    RegistryKey read;
    std::string error;
    ASSERT_TRUE(ParseRegistry(text, &read, &error)) << error;
    EXPECT_EQ(SerializeRegistry(read, "HKEY_LOCAL_MACHINE"), text);
}

TEST(RegistryTextFormatTest, reads_hand_edited_text) {
    RegistryKey root;
    std::string error;
    ASSERT_TRUE(
        ParseRegistry("; comment\r\n\r\n[a\\B%25]\r\n\"x\"=hex(7): 61, 00 ,00\r\n[a]\n"
                      "@=\"top\"\n[]\n\"root value\"=dword:1\n",
                      &root, &error))
        << error;
    const RegistryKey* b = root.Find({"A", "b%"});
    ASSERT_NE(b, nullptr);
    ASSERT_NE(b->FindValue("X"), nullptr);
    EXPECT_EQ(b->FindValue("X")->type, REG_MULTI_SZ);
    EXPECT_EQ(b->FindValue("X")->data, std::vector<BYTE>({0x61, 0, 0}));
    EXPECT_EQ(root.FindSubkey("a")->FindValue("")->data, Bytes(std::string("top", 4)));
    EXPECT_EQ(root.FindValue("Root Value")->data, std::vector<BYTE>({1, 0, 0, 0}));
}

TEST(RegistryTextFormatTest, refuses_damaged_text_with_the_line_number) {
    const char* bad[] = {
        "\"value\"=\"before any section\"\n",
        "[a]\nnot a value\n",
        "[a]\n\"x\"=\"unterminated\n",
        "[a]\n\"x\"=\"bad escape \\q\"\n",
        "[a]\n\"x\"=dword:\n",
        "[a]\n\"x\"=dword:123456789\n",
        "[a]\n\"x\"=hex:1\n",
        "[a]\n\"x\"=hex:01,\n",
        "[a]\n\"x\"=hex(zz):01\n",
        "[a]\n\"x\"=\"text\" trailing\n",
    };
    for (const char* text : bad) {
        RegistryKey root;
        root.AddSubkey("left over", nullptr);
        std::string error;
        EXPECT_FALSE(ParseRegistry(text, &root, &error)) << text;
        EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
        EXPECT_EQ(root.SubkeyCount(), 0u);
    }
}

TEST(RegistryTextFormatTest, a_backslash_in_a_key_name_survives_the_round_trip) {
    RegistryKey read;
    std::string error;
    ASSERT_TRUE(ParseRegistry("[a\\b%5cc]\n\"v\"=dword:7\n[a\\b%5c]\n", &read, &error)) << error;
    const std::string written = SerializeRegistry(read, "test");
    RegistryKey again;
    ASSERT_TRUE(ParseRegistry(written, &again, &error)) << error << "\n" << written;
    EXPECT_TRUE(error.empty()) << error;
    const RegistryKey* a = again.Find({"a"});
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->SubkeyCount(), 2u) << written;
    const RegistryKey* joined = again.Find({"a", "b\\c"});
    ASSERT_NE(joined, nullptr) << written;
    EXPECT_NE(joined->FindValue("v"), nullptr);
    EXPECT_NE(again.Find({"a", "b\\"}), nullptr) << written;
}

TEST(RegistryTextFormatTest, a_bad_section_costs_only_itself_and_its_values) {
    const char* bad_headers[] = {"[a\\\\b]", "[a\\]", "[a%zz]", "[a%00b]", "[a"};
    for (const char* header : bad_headers) {
        const std::string text = std::string("[keep]\n\"one\"=dword:1\n") + header +
                                 "\n\"lost\"=dword:2\n[after]\n@=\"two\"\n";
        RegistryKey root;
        std::string error;
        ASSERT_TRUE(ParseRegistry(text, &root, &error)) << header;
        EXPECT_EQ(error,
                  std::string("line 3: ") +
                      (header[std::strlen(header) - 1] == ']' ? "bad key path"
                                                              : "section header without ']'") +
                      " (section skipped)");
        ASSERT_NE(root.Find({"keep"}), nullptr) << header;
        EXPECT_NE(root.Find({"keep"})->FindValue("one"), nullptr);
        ASSERT_NE(root.Find({"after"}), nullptr) << header;
        EXPECT_NE(root.Find({"after"})->FindValue(""), nullptr);
        EXPECT_EQ(root.SubkeyCount(), 2u) << header;
    }
}

}  // namespace
