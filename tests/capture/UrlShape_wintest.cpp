// The portable alphabetic-byte rule agrees with IsCharAlphaA under code page 932 for every byte.
#include "capture/UrlShape.h"

#include <windows.h>

#include <gtest/gtest.h>

TEST(IsAlphaByteCp932, MatchesIsCharAlphaAForEveryByte) {
    for (int b = 0; b < 256; ++b) {
        const int platform = IsCharAlphaA(static_cast<CHAR>(b)) ? 1 : 0;
        EXPECT_EQ(IsAlphaByteCp932(static_cast<unsigned char>(b)), platform) << "byte " << b;
    }
}
