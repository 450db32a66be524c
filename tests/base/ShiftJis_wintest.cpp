// The portable Shift_JIS rules against the system's own in code page 932: what lstrcmpiA treats
// as equal, lead bytes, and what IsCharAlphaA calls a letter.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ShiftJis.h"

namespace {

bool Equal(const char* a, const char* b) {
    return lstrcmpiA(a, b) == 0;
}

TEST(Lstrcmpi, FoldsAsciiFullWidthGreekCyrillic) {
    EXPECT_TRUE(Equal("HTTP://EXAMPLE.COM/Path", "http://example.com/path"));
    EXPECT_TRUE(Equal("ＡＢＣＸＹＺ", "ａｂｃｘｙｚ"));
    EXPECT_TRUE(Equal("ΑΒΓΔΩ", "αβγδω"));
    EXPECT_TRUE(Equal("АБВЁОЯ", "абвёоя"));
    EXPECT_FALSE(Equal("abc", "abd"));
    EXPECT_FALSE(Equal("abc", "abc "));
}

TEST(Lstrcmpi, KeepsKanaAndWidthsApart) {
    EXPECT_FALSE(Equal("A", "Ａ"));
    EXPECT_FALSE(Equal("a", "ａ"));
    EXPECT_FALSE(Equal("1", "１"));
    EXPECT_FALSE(Equal("ア", "あ"));
    EXPECT_FALSE(Equal("ｱ", "ア"));
    EXPECT_FALSE(Equal("ｶﾞ", "ガ"));
    // Trail byte 0x41 of "ア" against 0x61 of "ヂ": not letters to fold.
    EXPECT_FALSE(Equal("ア", "ヂ"));
}

// Every valid character of ASCII and of the rows holding full-width Latin, kana, Greek and
// Cyrillic, compared pairwise row by row: the portable fold says equal exactly when lstrcmpiA does.
TEST(CompareFoldCp932, AgreesWithLstrcmpiOnItsRows) {
    std::vector<std::vector<std::string>> rows(4);
    for (int b = 0x20; b < 0x7F; ++b) {
        rows[0].push_back(std::string(1, static_cast<char>(b)));
    }
    for (int lead = 0x82; lead <= 0x84; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const char s[3] = {static_cast<char>(lead), static_cast<char>(trail), 0};
            WCHAR w[2];
            // Unassigned cells all become the same default character; they carry no case.
            if (trail != 0x7F && MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, s, 2, w, 2) == 1) {
                rows[lead - 0x81].push_back(s);
            }
        }
    }
    int mismatches = 0;
    for (const auto& row : rows) {
        ASSERT_FALSE(row.empty());
        for (const std::string& a : row) {
            for (const std::string& b : row) {
                const bool platform = Equal(a.c_str(), b.c_str());
                const bool portable = CompareFoldCp932(a.c_str(), b.c_str()) == 0;
                if (platform != portable && ++mismatches <= 10) {
                    ADD_FAILURE() << "\"" << a << "\" vs \"" << b << "\": lstrcmpiA " << platform;
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(IsLeadByteCp932, MatchesIsDBCSLeadByteEx) {
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(IsLeadByteCp932(static_cast<unsigned char>(b)),
                  IsDBCSLeadByteEx(932, static_cast<BYTE>(b)) ? 1 : 0)
            << "byte " << b;
    }
}

TEST(IsAlphaByteCp932, MatchesIsCharAlphaAForEveryByte) {
    for (int b = 0; b < 256; ++b) {
        const int platform = IsCharAlphaA(static_cast<CHAR>(b)) ? 1 : 0;
        EXPECT_EQ(IsAlphaByteCp932(static_cast<unsigned char>(b)), platform) << "byte " << b;
    }
}

} // namespace
