// What a comparison of Shift_JIS texts that folds as lstrcmpiA does in code page 932 must say: a
// table of pairs, and every character of the rows that carry case, compared pairwise row by row.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Cp932Compare = int (*)(const char* a, const char* b);

struct Cp932FoldPair {
    const char* a;
    const char* b;
    bool equal;
};

// Letters of every script fold; kana, widths, and trail bytes that an ASCII fold would take for a
// case pair stay apart: イ 83 43 / ツ 83 63, ア 83 41 / ヂ 83 61, ｊ 82 8B / ｚ 82 9B.
inline constexpr Cp932FoldPair Cp932FoldPairs[] = {
    {"HTTP://EXAMPLE.COM/Path", "http://example.com/path", true},
    {"ＡＢＣＸＹＺ", "ａｂｃｘｙｚ", true},
    {"ΑΒΓΔΩ", "αβγδω", true},
    {"АБВЁОЯ", "абвёоя", true},
    {"abc", "abd", false},
    {"abc", "abc ", false},
    {"A", "Ａ", false},
    {"a", "ａ", false},
    {"1", "１", false},
    {"ア", "あ", false},
    {"ｱ", "ア", false},
    {"ｶﾞ", "ガ", false},
    {"ア", "ヂ", false},
    {"イ", "ツ", false},
    {"ｊ", "ｚ", false},
};

inline void ExpectCp932FoldPairs(Cp932Compare compare) {
    for (const Cp932FoldPair& pair : Cp932FoldPairs) {
        EXPECT_EQ(compare(pair.a, pair.b) == 0, pair.equal) << "\"" << pair.a << "\" vs \"" << pair.b << "\"";
    }
}

// Every valid character of ASCII and of the rows holding full-width Latin, kana, Greek and
// Cyrillic, compared pairwise row by row: the number of pairs on which the two comparisons differ
// about equality (the first ten are reported).
inline int Cp932RowDisagreements(Cp932Compare first, Cp932Compare second) {
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
    int disagreements = 0;
    for (const auto& row : rows) {
        EXPECT_FALSE(row.empty());
        for (const std::string& a : row) {
            for (const std::string& b : row) {
                const bool firstEqual = first(a.c_str(), b.c_str()) == 0;
                const bool secondEqual = second(a.c_str(), b.c_str()) == 0;
                if (firstEqual != secondEqual && ++disagreements <= 10) {
                    ADD_FAILURE() << "\"" << a << "\" vs \"" << b << "\": equal at first " << firstEqual;
                }
            }
        }
    }
    return disagreements;
}
