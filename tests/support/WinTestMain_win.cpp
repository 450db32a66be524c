// Entry point of the Windows test programs: refuses to run unless the ANSI code page is 932,
// since every Shift_JIS expectation would be meaningless under another code page.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (GetACP() != 932) {
        std::fprintf(stderr, "ANSI code page is %u, not 932: run under LANG=LC_ALL=ja_JP.UTF-8\n", GetACP());
        return 2;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
