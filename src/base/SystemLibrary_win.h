// DLLs of the system that the program loads only when it first needs them.
#pragma once

#include <windows.h>

// LOAD_LIBRARY_SEARCH_SYSTEM32, declared by newer SDKs only; the value is part of the API.
constexpr DWORD SearchSystem32 = 0x00000800;

// Loads the DLL `name` (such as "wininet.dll") from the system folder and nowhere else, whatever
// the search order of the process: with LOAD_LIBRARY_SEARCH_SYSTEM32 where the system supports
// it, else by its full path in the system folder. Null when it cannot be loaded. The module is
// never freed: it stays loaded for the rest of the run.
HMODULE LoadSystemLibrary(const char* name);
