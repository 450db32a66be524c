// Entry point of the Windows test programs: refuses to run unless the ANSI code page is the one
// the run asked for (CLIPWREN_TEST_CODE_PAGE, 932 without it), since a run meant for one system
// that silently ran under another would prove nothing.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const char* asked = std::getenv("CLIPWREN_TEST_CODE_PAGE");
    const UINT expected = asked ? static_cast<UINT>(std::strtoul(asked, nullptr, 10)) : 932;
    if (GetACP() != expected) {
        std::fprintf(stderr, "ANSI code page is %u, not %u: run under LANG=LC_ALL=%s\n", GetACP(), expected,
                     expected == 932 ? "ja_JP.UTF-8" : "en_US.UTF-8 (CLIPWREN_WINE_LANG)");
        return 2;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
