// The manifest built into clipwren.exe: run as the user who started it, declared for Windows 7
// to 11, and neither the version 6 common controls nor DPI awareness, which would change the
// look and the pixel layout.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::string ProgramManifest() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string program = path;
    program = program.substr(0, program.find_last_of('\\') + 1) + "clipwren.exe";
    std::string text;
    HMODULE image = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!image) {
        return text;
    }
    if (HRSRC resource = FindResourceA(image, MAKEINTRESOURCEA(1), RT_MANIFEST)) {
        HGLOBAL loaded = LoadResource(image, resource);
        const char* bytes = static_cast<const char*>(LockResource(loaded));
        if (bytes) {
            text.assign(bytes, SizeofResource(image, resource));
        }
    }
    FreeLibrary(image);
    return text;
}

TEST(Manifest, RunsAsInvokerOnWindows7To11WithTheClassicLook) {
    const std::string manifest = ProgramManifest();
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"),
              std::string::npos);
    for (const char* os : {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",    // Windows 7
                           "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",    // 8
                           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",    // 8.1
                           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) { // 10 and 11
        EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + os + "\"/>"), std::string::npos) << os;
    }
    EXPECT_EQ(manifest.find("<dependency"), std::string::npos);
    EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos);
    EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);
}

} // namespace
