// The address handed to the shell: bytes a command line could misread are encoded, Shift_JIS
// characters are kept whole, and addresses without a host or too long are refused.
#include "ui/ShellAddress.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    const char* address;
    const char* shell; // nullptr: refused
};

void ExpectComposed(const Case& c) {
    std::string out = "stale";
    int accepted = ComposeShellAddress(c.address, out);
    if (c.shell) {
        EXPECT_EQ(accepted, 1) << c.address;
        EXPECT_EQ(out, c.shell) << c.address;
    } else {
        EXPECT_EQ(accepted, 0) << c.address;
        EXPECT_EQ(out, "") << c.address;
    }
}

TEST(ShellAddress, EncodesWhatCouldEndTheArgument) {
    const Case cases[] = {
        {"http://example.com/a?b=c&d=e#f", "http://example.com/a?b=c&d=e#f"},
        {"http://a.test/x\" --some-browser-option \"y", "http://a.test/x%22%20--some-browser-option%20%22y"},
        {"http://a.test/x\\\" y", "http://a.test/x%5C%22%20y"},
        {"http://a.test/\tb\rc\nd", "http://a.test/%09b%0Dc%0Ad"},
        {"http://a.test/\x01\x1F\x7F", "http://a.test/%01%1F%7F"},
        {"http://a.test/<>\\^`{|}", "http://a.test/%3C%3E%5C%5E%60%7B%7C%7D"},
        {"http://a.test/!$&'()*+,;=:@[]~-._", "http://a.test/!$&'()*+,;=:@[]~-._"},
        // Already encoded, and a stray '%': both kept, so nothing is encoded twice.
        {"http://a.test/%22%20x%zz%", "http://a.test/%22%20x%zz%"},
        // Half-width katakana and single high bytes that are no lead bytes are not excluded.
        {"http://a.test/\xB1\xDF\xA0\x80\xFD", "http://a.test/\xB1\xDF\xA0\x80\xFD"},
    };
    for (const Case& c : cases) {
        ExpectComposed(c);
    }
}

TEST(ShellAddress, KeepsDoubleByteCharactersWhole) {
    ASSERT_EQ(std::string("表"), "\x95\x5C");
    ASSERT_EQ(std::string("ポ"), "\x83\x7C");
    ASSERT_EQ(std::string("ァ"), "\x83\x40");
    const Case cases[] = {
        {"http://example.jp/表示/ポイント", "http://example.jp/表示/ポイント"},
        {"http://例え.jp/表", "http://例え.jp/表"},
        // The byte after a character is judged on its own.
        {"http://a.jp/表\\表\"", "http://a.jp/表%5C表%22"},
        {"http://a.jp/ポ|", "http://a.jp/ポ%7C"},
        // Lead bytes without a trail byte: at the end, before a byte that cannot trail.
        {"http://a.jp/\x95", "http://a.jp/%95"},
        {"http://a.jp/\x95\"x", "http://a.jp/%95%22x"},
        {"http://a.jp/\xE0 \xFC\x7F", "http://a.jp/%E0%20%FC%7F"},
        {"http://a.jp/\x81\x1F", "http://a.jp/%81%1F"},
    };
    for (const Case& c : cases) {
        ExpectComposed(c);
    }
}

TEST(ShellAddress, RefusesAddressesWithoutAHost) {
    const Case cases[] = {
        {"http://", nullptr},
        {"http:///x", nullptr},
        {"http://?q=1", nullptr},
        {"http://#top", nullptr},
        {"http://@", nullptr},
        {"http://user@", nullptr},
        {"http://user:pw@/x", nullptr},
        {"http://:80/", nullptr},
        {"http://user@:80/", nullptr},
        {"http:/a.test/", nullptr},
        {"a.test/x", nullptr},
        {"://a.test/", nullptr},
        {"", nullptr},
        {nullptr, nullptr},
        {"http://a", "http://a"},
        {"http://user@a.test:80/", "http://user@a.test:80/"},
        {"http://u@v@a.test/", "http://u@v@a.test/"},
        {"http://[::1]:8080/", "http://[::1]:8080/"},
        {"HTTP://a.test/", "HTTP://a.test/"},
        // ァ's trail byte is '@': no userinfo ends there, so the host is ァ.
        {"http://ァ/", "http://ァ/"},
        {"http://ァ@/", nullptr},
    };
    for (const Case& c : cases) {
        ExpectComposed(c);
    }
}

TEST(ShellAddress, LengthLimitCountsEncodedBytes) {
    const std::string base = "http://a.test/";
    std::string out;
    std::string fits = base + std::string(MaxShellAddressBytes - base.size(), 'x');
    EXPECT_EQ(ComposeShellAddress(fits.c_str(), out), 1);
    EXPECT_EQ(out.size(), 2083u);
    EXPECT_EQ(ComposeShellAddress((fits + "x").c_str(), out), 0);
    EXPECT_EQ(out, "");

    // 2081 bytes with a space: 2083 once encoded, and one byte more is too long.
    std::string spaced = base + " " + std::string(MaxShellAddressBytes - base.size() - 3, 'x');
    EXPECT_EQ(ComposeShellAddress(spaced.c_str(), out), 1);
    EXPECT_EQ(out.size(), 2083u);
    EXPECT_EQ(ComposeShellAddress((spaced + "x").c_str(), out), 0);

    // Double-byte characters count as their two bytes.
    std::string wide = base + std::string(MaxShellAddressBytes - base.size() - 1, 'x') + "表";
    EXPECT_EQ(ComposeShellAddress(wide.c_str(), out), 0);
    wide.erase(base.size(), 1);
    EXPECT_EQ(ComposeShellAddress(wide.c_str(), out), 1);
    EXPECT_EQ(out.size(), 2083u);
}

} // namespace
