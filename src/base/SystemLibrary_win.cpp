// Loading a DLL of the system folder by name, never from the folders a planted copy could be in.
#include "base/SystemLibrary_win.h"

#include <cstring>

namespace {

// The LOAD_LIBRARY_SEARCH_* flags came with AddDllDirectory (Windows 8, or 7 with its update);
// without it LoadLibraryEx refuses them.
bool SearchFlagsSupported() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel && GetProcAddress(kernel, "AddDllDirectory");
}

} // namespace

HMODULE LoadSystemLibrary(const char* name) {
    if (SearchFlagsSupported()) {
        return LoadLibraryExA(name, nullptr, SearchSystem32);
    }
    char path[MAX_PATH];
    const UINT folder = GetSystemDirectoryA(path, MAX_PATH);
    const size_t length = std::strlen(name);
    if (folder == 0 || folder + 1 + length >= MAX_PATH) {
        return nullptr;
    }
    path[folder] = '\\';
    std::memcpy(path + folder + 1, name, length + 1);
    // With a full path, the DLL's own imports are looked for in its folder first.
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
