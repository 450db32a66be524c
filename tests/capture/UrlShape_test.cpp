// The URL shape rules, byte by byte, including the last-byte test on Shift_JIS text.
#include "capture/UrlShape.h"

#include <gtest/gtest.h>

#include <string>

TEST(IsUrl, LengthBoundaryIsTenBytes) {
    EXPECT_EQ(IsUrl("http://a.b"), 1);
    EXPECT_EQ(IsUrl("http://ab"), 0);
    EXPECT_EQ(IsUrl("http://"), 0);
    EXPECT_EQ(IsUrl(""), 0);
    // Ten bytes with nothing but slashes after the prefix still has the shape.
    EXPECT_EQ(IsUrl("http:////"), 0);
    EXPECT_EQ(IsUrl("http://///"), 1);
}

TEST(IsUrl, PrefixIsExactAndCaseSensitive) {
    EXPECT_EQ(IsUrl("http://example.com/"), 1);
    EXPECT_EQ(IsUrl("https://example.com/"), 0);
    EXPECT_EQ(IsUrl("HTTP://example.com/"), 0);
    EXPECT_EQ(IsUrl("Http://example.com/"), 0);
    EXPECT_EQ(IsUrl(" http://example.com/"), 0);
    EXPECT_EQ(IsUrl("ftp://example.com/"), 0);
    EXPECT_EQ(IsUrl("http:/example.com/"), 0);
    EXPECT_EQ(IsUrl("see http://example.com/"), 0);
}

TEST(IsUrl, LastByteMustBeLetterOrSlash) {
    EXPECT_EQ(IsUrl("http://example.com"), 1);
    EXPECT_EQ(IsUrl("http://example.COM"), 1);
    EXPECT_EQ(IsUrl("http://example.com/"), 1);
    EXPECT_EQ(IsUrl("http://example.com/?page=2"), 0);
    EXPECT_EQ(IsUrl("http://example.com "), 0);
    EXPECT_EQ(IsUrl("http://example.com."), 0);
    EXPECT_EQ(IsUrl("http://example.com/#_"), 0);
    EXPECT_EQ(IsUrl("http://example.com\\"), 0);
    EXPECT_EQ(IsUrl("http://example.com\t"), 0);
}

TEST(IsUrl, InnerBytesAreNotExamined) {
    EXPECT_EQ(IsUrl("http:// and some ordinary words"), 1);
    EXPECT_EQ(IsUrl("http://a\tb\rc"), 1);
    EXPECT_EQ(IsUrl("http://例え.jp/ページ/x"), 1);
}

TEST(IsUrl, LineBreaks) {
    EXPECT_EQ(IsUrl("http://example.com/\r\n"), 0);
    EXPECT_EQ(IsUrl("http://example.com/\r"), 0);
    EXPECT_EQ(IsUrl("http://example.com/\n"), 0);
    EXPECT_EQ(IsUrl("http://example.com/\nhttp://example.org/"), 0);
    EXPECT_EQ(IsUrl("http://example.com/\r\nhttp://example.org/"), 0);
}

TEST(IsUrl, LastByteIsJudgedAloneInShiftJis) {
    // "ア" is 83 41: its trail byte is the code of 'A', so the text has the shape.
    ASSERT_EQ(std::string("ア"), std::string("\x83\x41"));
    EXPECT_EQ(IsUrl("http://example.jp/ア"), 1);
    // "ソ" is 83 5C and "表" 95 5C: a trail backslash is neither letter nor slash.
    EXPECT_EQ(IsUrl("http://example.jp/ソ"), 0);
    EXPECT_EQ(IsUrl("http://example.jp/表"), 0);
    // "あ" is 82 A0: 0xA0 is not a letter.
    EXPECT_EQ(IsUrl("http://example.jp/あ"), 0);
    // "ｶ" is the single byte B6 (half-width katakana counts as a letter), "｡" is A1 (it does not).
    EXPECT_EQ(IsUrl("http://example.jp/ｶ"), 1);
    EXPECT_EQ(IsUrl("http://example.jp/ｰ"), 1);
    EXPECT_EQ(IsUrl("http://example.jp/｡"), 0);
    // A lone lead byte at the end of a cut text.
    EXPECT_EQ(IsUrl("http://example.jp/\x83"), 0);
}

