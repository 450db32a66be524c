// The Shift_JIS byte rules: the letter bytes, the double-byte-safe cut and the case fold.
#include "base/ShiftJis.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "capture/CaptureDecision.h"

namespace {

std::string Repeat(const char* piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

TEST(IsTrailByteCp932, TheTwoRangesWithoutTheirNeighbours) {
    for (int b : {0x40, 0x5C, 0x7E, 0x80, 0xA0, 0xFC}) {
        EXPECT_EQ(IsTrailByteCp932(static_cast<unsigned char>(b)), 1) << b;
    }
    for (int b : {0x00, 0x3F, 0x7F, 0xFD, 0xFF}) {
        EXPECT_EQ(IsTrailByteCp932(static_cast<unsigned char>(b)), 0) << b;
    }
}

TEST(IsAlphaByteCp932, AsciiLettersAndHalfWidthKatakanaOnly) {
    int count = 0;
    for (int b = 0; b < 256; ++b) {
        const int alpha = IsAlphaByteCp932(static_cast<unsigned char>(b));
        ASSERT_TRUE(alpha == 0 || alpha == 1) << b;
        count += alpha;
    }
    EXPECT_EQ(count, 52 + (0xDF - 0xA6 + 1));
    EXPECT_EQ(IsAlphaByteCp932('@'), 0);
    EXPECT_EQ(IsAlphaByteCp932('['), 0);
    EXPECT_EQ(IsAlphaByteCp932('`'), 0);
    EXPECT_EQ(IsAlphaByteCp932('{'), 0);
    EXPECT_EQ(IsAlphaByteCp932(0xA5), 0);
    EXPECT_EQ(IsAlphaByteCp932(0xA6), 1);
    EXPECT_EQ(IsAlphaByteCp932(0xDF), 1);
    EXPECT_EQ(IsAlphaByteCp932(0xE0), 0);
    EXPECT_EQ(IsAlphaByteCp932(0x81), 0);
}

TEST(CopyCutText, AsciiIsCutAt1021Bytes) {
    const std::string text(1500, 'x');
    char buffer[CaptureBufferSize] = {};
    EXPECT_EQ(CopyCutText(buffer, CaptureCapacity, text.c_str(), text.size() + 1), 1021u);
    EXPECT_EQ(std::strlen(buffer), 1021u);
    EXPECT_EQ(CopyCutText(buffer, CaptureCapacity, "short", 6), 5u);
    EXPECT_STREQ(buffer, "short");
}

TEST(CopyCutText, SplitDoubleByteCharacterIsLeftOutWhole) {
    char buffer[CaptureBufferSize] = {};
    // The 1021st byte opens "あ" (82 A0): keeping it would store half a character.
    const std::string leadAtCut = std::string(1020, 'a') + "あいう";
    EXPECT_EQ(CopyCutText(buffer, CaptureCapacity, leadAtCut.c_str(), leadAtCut.size() + 1), 1020u);
    EXPECT_EQ(std::string(buffer), std::string(1020, 'a'));
    // A character that ends exactly at the cut stays.
    const std::string endsAtCut = std::string(1019, 'a') + "あいう";
    EXPECT_EQ(CopyCutText(buffer, CaptureCapacity, endsAtCut.c_str(), endsAtCut.size() + 1), 1021u);
    // "ゃ" is 82 E1: its trail byte has a lead byte's value, so the byte at the cut alone cannot
    // tell where characters begin.
    const std::string trailLikeLead = "a" + Repeat("ゃ", 511);
    ASSERT_EQ(static_cast<unsigned char>(trailLikeLead[1020]), 0xE1);
    EXPECT_EQ(CopyCutText(buffer, CaptureCapacity, trailLikeLead.c_str(), trailLikeLead.size() + 1), 1021u);
    const std::string even = trailLikeLead.substr(1);
    EXPECT_EQ(CopyCutText(buffer, CaptureCapacity, even.c_str(), even.size() + 1), 1020u);
}

TEST(CopyCutText, BlockWithoutTerminatorIsNotOverrun) {
    const char block[4] = {'a', 'b', 'c', 'd'};
    char buffer[16];
    std::memset(buffer, 'z', sizeof buffer);
    EXPECT_EQ(CopyCutText(buffer, sizeof buffer, block, sizeof block), 4u);
    EXPECT_STREQ(buffer, "abcd");
    EXPECT_EQ(CopyCutText(buffer, 1, block, sizeof block), 0u);
    EXPECT_STREQ(buffer, "");
}

TEST(CompareFoldCp932, FoldsLatinGreekCyrillicNotKanaOrWidth) {
    EXPECT_EQ(CompareFoldCp932("HTTP://Example.COM/", "http://example.com/"), 0);
    EXPECT_EQ(CompareFoldCp932("ＡＢＣＺ", "ａｂｃｚ"), 0);
    EXPECT_EQ(CompareFoldCp932("ΑΒΓΩ", "αβγω"), 0);
    EXPECT_EQ(CompareFoldCp932("АБЁОЯ", "абёоя"), 0); // Ё and О sit around the 0x7F gap
    EXPECT_NE(CompareFoldCp932("A", "Ａ"), 0);
    EXPECT_NE(CompareFoldCp932("ア", "あ"), 0);
    EXPECT_NE(CompareFoldCp932("ｱ", "ア"), 0);
    EXPECT_NE(CompareFoldCp932("abc", "abcd"), 0);
    EXPECT_NE(CompareFoldCp932("", "a"), 0);
    EXPECT_EQ(CompareFoldCp932("", ""), 0);
    // "ア" is 83 41 and "ヂ" 83 61: a trail byte is not an ASCII letter to fold.
    EXPECT_NE(CompareFoldCp932("ア", "ヂ"), 0);
}

} // namespace
