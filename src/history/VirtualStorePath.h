// Where Windows puts a file that a program without a manifest writes into a protected folder,
// so that an older run's history can be found there. Portable.
#pragma once

#include <cstddef>

// "<localAppData>\VirtualStore\<folder without its drive's colon>\<name>", for example
// "...\Local\VirtualStore\Program Files (x86)\Tool\CWHistry.txt" for "C:\Program Files (x86)\Tool".
// Returns 1 with the path in out (size bytes), or 0 when the folder is not on a drive letter
// ("C:\...") or the path does not fit.
int ComposeVirtualStorePath(const char* localAppData, const char* folder, const char* name, char* out,
                            size_t size);
