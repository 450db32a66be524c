// nkf32.dll as the program meets it: loaded by name from the program's folder, its two exports
// found by their undecorated names and called with the WINAPI convention.
#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

using SetNkfOptionFn = int(WINAPI*)(const char*);
using NkfConvertFn = void(WINAPI*)(char*, const char*);

struct LibraryGuard {
    HMODULE module;
    explicit LibraryGuard(const char* name) : module(LoadLibraryA(name)) {}
    ~LibraryGuard() {
        if (module != nullptr) {
            FreeLibrary(module);
        }
    }
    LibraryGuard(const LibraryGuard&) = delete;
    LibraryGuard& operator=(const LibraryGuard&) = delete;
};

class Nkf32Dll : public testing::Test {
protected:
    LibraryGuard library{"nkf32.dll"};
    SetNkfOptionFn setOption = nullptr;
    NkfConvertFn convert = nullptr;

    void SetUp() override {
        ASSERT_NE(library.module, nullptr);
        setOption = reinterpret_cast<SetNkfOptionFn>(
            reinterpret_cast<void*>(GetProcAddress(library.module, "SetNkfOption")));
        convert = reinterpret_cast<NkfConvertFn>(
            reinterpret_cast<void*>(GetProcAddress(library.module, "NkfConvert")));
        ASSERT_NE(setOption, nullptr);
        ASSERT_NE(convert, nullptr);
    }

    std::string Convert(const char* in) {
        char out[1024];
        std::memset(out, 'X', sizeof out);
        EXPECT_EQ(setOption("s"), 1);
        convert(out, in);
        return out;
    }
};

TEST_F(Nkf32Dll, ConvertsEachEncodingToShiftJis) {
    EXPECT_EQ(Convert("\xE6\x97\xA5\xE6\x9C\xAC\xE3\x80\x9C\xE2\x88\x92"), "日本〜−");
    EXPECT_EQ(Convert("\xC6\xFC\xCB\xDC\x8E\xB6\x8E\xDE"), "日本ｶﾞ");
    EXPECT_EQ(Convert("\x1B$BF|K\\\x1B(B title"), "日本 title");
    EXPECT_EQ(Convert("表示テスト"), "表示テスト");
    EXPECT_EQ(Convert("=?UTF-8?B?5pel?="), "=?UTF-8?B?5pel?=");
}

TEST_F(Nkf32Dll, KeepsTheOutputWithin1023BytesOfWholeCharacters) {
    std::string in = "a";
    while (in.size() < 3000) {
        in += "\x82\xA0";
    }
    const std::string out = Convert(in.c_str());
    EXPECT_EQ(out.size(), 1023u);
    EXPECT_EQ(static_cast<unsigned char>(out.back()), 0xA0);
}

TEST_F(Nkf32Dll, HonoursANamedInputEncodingUntilTheNextCall) {
    char out[1024];
    setOption("-E -s");
    convert(out, "\xB4\xC1\xBB\xFA\xA4\xA2");
    EXPECT_STREQ(out, "漢字あ");
    setOption("-S -s");
    convert(out, "\xB4\xC1\xA4\xA2");
    EXPECT_STREQ(out, "ｴﾁ､｢");
}

} // namespace
