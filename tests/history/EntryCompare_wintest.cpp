// The comparison of two entries answers as lstrcmpiA does on a Japanese system, on any system.
#include "history/EntryCompare_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ShiftJis.h"

namespace {

bool Same(const char* a, const char* b) {
    return CompareEntryTexts(a, b) == 0;
}

TEST(CompareEntryTexts, FoldsLettersAndKeepsKanaApart) {
    EXPECT_TRUE(Same("HTTP://EXAMPLE.COM/Path", "http://example.com/path"));
    EXPECT_TRUE(Same("Ａ", "ａ"));
    EXPECT_TRUE(Same("ΑΒΓΔΩ", "αβγδω"));
    EXPECT_TRUE(Same("АБВЁОЯ", "абвёоя"));
    // Trail bytes that an ASCII fold would take for a case pair: イ 83 43 / ツ 83 63, ア 83 41 /
    // ヂ 83 61, and ｊ 82 8B / ｚ 82 9B are different letters.
    EXPECT_FALSE(Same("イ", "ツ"));
    EXPECT_FALSE(Same("ア", "ヂ"));
    EXPECT_FALSE(Same("ｊ", "ｚ"));
    EXPECT_FALSE(Same("A", "Ａ"));
    EXPECT_FALSE(Same("ｱ", "ア"));
    EXPECT_FALSE(Same("abc", "abc "));
}

// Every valid character of ASCII and of the rows of full-width Latin, kana, Greek and Cyrillic,
// pairwise row by row: equal exactly when the portable fold (pinned to lstrcmpiA in code page 932
// by the base tests) says so, whatever this system's code page.
TEST(CompareEntryTexts, AgreesWithTheJapaneseFoldOnItsRows) {
    std::vector<std::vector<std::string>> rows(4);
    for (int b = 0x20; b < 0x7F; ++b) {
        rows[0].push_back(std::string(1, static_cast<char>(b)));
    }
    for (int lead = 0x82; lead <= 0x84; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const char s[3] = {static_cast<char>(lead), static_cast<char>(trail), 0};
            WCHAR w[2];
            if (trail != 0x7F && MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, s, 2, w, 2) == 1) {
                rows[lead - 0x81].push_back(s);
            }
        }
    }
    int mismatches = 0;
    for (const auto& row : rows) {
        for (const std::string& a : row) {
            for (const std::string& b : row) {
                const bool same = Same(a.c_str(), b.c_str());
                const bool folded = CompareFoldCp932(a.c_str(), b.c_str()) == 0;
                if (same != folded && ++mismatches <= 10) {
                    ADD_FAILURE() << "\"" << a << "\" vs \"" << b << "\": compared " << same;
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

} // namespace
