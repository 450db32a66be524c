// The portable Shift_JIS rules against the system's own in code page 932: what lstrcmpiA treats
// as equal, lead bytes, and what IsCharAlphaA calls a letter.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/ShiftJis.h"
#include "support/Cp932Folds_win.h"

namespace {

int Lstrcmpi(const char* a, const char* b) {
    return lstrcmpiA(a, b);
}

TEST(Lstrcmpi, FoldsLettersAndKeepsKanaAndWidthsApart) {
    ExpectCp932FoldPairs(Lstrcmpi);
}

// The portable fold says equal exactly when lstrcmpiA does.
TEST(CompareFoldCp932, AgreesWithLstrcmpiOnItsRows) {
    EXPECT_EQ(Cp932RowDisagreements(Lstrcmpi, CompareFoldCp932), 0);
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
