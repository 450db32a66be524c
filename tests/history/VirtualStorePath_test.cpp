// The VirtualStore path of the history file for the folders a program may be started in.
#include <gtest/gtest.h>

#include "history/VirtualStorePath.h"

#include <string>

namespace {

const char LocalAppData[] = "C:\\Users\\me\\AppData\\Local";

std::string Compose(const char* folder, size_t size = 512) {
    char out[512] = {};
    return ComposeVirtualStorePath(LocalAppData, folder, "CWHistry.txt", out, size) ? out : "(none)";
}

TEST(VirtualStorePath, FollowsTheFolderWithoutItsDrive) {
    struct Case {
        const char* folder;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\Program Files (x86)\\Tool", "C:\\Users\\me\\AppData\\Local\\VirtualStore\\Program Files (x86)\\Tool\\CWHistry.txt"},
        {"d:\\Tools", "C:\\Users\\me\\AppData\\Local\\VirtualStore\\Tools\\CWHistry.txt"},
        {"C:\\", "C:\\Users\\me\\AppData\\Local\\VirtualStore\\CWHistry.txt"},
        // "表" ends in the byte of a backslash; the folder is taken as it is.
        {"C:\\表", "C:\\Users\\me\\AppData\\Local\\VirtualStore\\表\\CWHistry.txt"},
        {"\\\\server\\share\\Tool", "(none)"},
        {"\\\\?\\C:\\Tool", "(none)"},
        {"C:", "(none)"},
        {"", "(none)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        EXPECT_EQ(Compose(c.folder), c.expected);
    }
}

TEST(VirtualStorePath, NothingWhenThePathDoesNotFit) {
    const std::string full = Compose("C:\\Tool");
    EXPECT_EQ(Compose("C:\\Tool", full.size() + 1), full);
    EXPECT_EQ(Compose("C:\\Tool", full.size()), "(none)");
}

} // namespace
