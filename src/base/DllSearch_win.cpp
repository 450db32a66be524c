// The DLL search of the whole process, narrowed once at start-up.
#include "base/DllSearch_win.h"

#include <windows.h>

#include "base/SystemLibrary_win.h"

namespace {

// Declared by newer SDKs only; the value is part of the API.
constexpr DWORD SearchApplicationDir = 0x00000200; // LOAD_LIBRARY_SEARCH_APPLICATION_DIR

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

} // namespace

DllSearchRestriction RestrictDllSearch() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    FARPROC entry = kernel ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
    if (entry) {
        auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(entry));
        if (setDefault(SearchSystem32 | SearchApplicationDir)) {
            return DllSearchRestriction::DefaultDirectories;
        }
    }
    return RemoveCurrentFolderFromDllSearch();
}

DllSearchRestriction RemoveCurrentFolderFromDllSearch() {
    return SetDllDirectoryA("") ? DllSearchRestriction::NoCurrentFolder : DllSearchRestriction::None;
}
