// DLLs loaded when first needed come from the system folder and from nowhere else.
#include "base/SystemLibrary_win.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return text;
}

TEST(SystemLibrary, LoadsFromTheSystemFolder) {
    HMODULE module = LoadSystemLibrary("wininet.dll");
    ASSERT_NE(module, nullptr);
    char path[MAX_PATH] = {};
    char system[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(Lower(path), Lower(std::string(system) + "\\wininet.dll"));
}

// nkf32.dll lies beside the test program, in the folder the usual search looks in first.
TEST(SystemLibrary, NeverLoadsFromTheProgramsFolder) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string beside = std::string(self).substr(0, std::string(self).find_last_of('\\') + 1) + "nkf32.dll";
    ASSERT_NE(GetFileAttributesA(beside.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(LoadSystemLibrary("nkf32.dll"), nullptr);
}

} // namespace
