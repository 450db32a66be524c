// Where the process looks for the DLLs it loads by name after start-up.
#pragma once

enum class DllSearchRestriction {
    None,               // the search is as Windows set it up
    DefaultDirectories, // the system folder and the program's folder only
    NoCurrentFolder,    // the usual order without the current folder
};

// Keeps DLLs loaded by name from here on to the system folder and the program's own folder, so
// that a DLL planted beside a data file (the current folder is often where one was opened from)
// is never loaded. Process-wide and for good: call it first thing, before anything loads a DLL.
// SetDefaultDllDirectories is looked up in kernel32, which has it from Windows 8 (and on 7 with
// its update); without it the current folder is only taken out of the usual search order.
DllSearchRestriction RestrictDllSearch();

// The narrower step alone: SetDllDirectoryA(""), which every supported Windows has.
DllSearchRestriction RemoveCurrentFolderFromDllSearch();
