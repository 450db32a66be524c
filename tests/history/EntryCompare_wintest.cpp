// The comparison of two entries answers as lstrcmpiA does on a Japanese system, on any system.
#include "history/EntryCompare_win.h"

#include <gtest/gtest.h>

#include "base/ShiftJis.h"
#include "support/Cp932Folds_win.h"

namespace {

TEST(CompareEntryTexts, FoldsLettersAndKeepsKanaAndWidthsApart) {
    ExpectCp932FoldPairs(CompareEntryTexts);
}

// Equal exactly when the portable fold (pinned to lstrcmpiA in code page 932 by the base tests)
// says so, whatever this system's code page.
TEST(CompareEntryTexts, AgreesWithTheJapaneseFoldOnItsRows) {
    EXPECT_EQ(Cp932RowDisagreements(CompareEntryTexts, CompareFoldCp932), 0);
}

} // namespace
