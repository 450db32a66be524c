// The general heap that work buffers and handed-over texts come from.
#pragma once

#include <windows.h>

#include "base/Guards_win.h"
#include "base/Shell_win.h"

// The shell's general heap; the process heap while the shell has not set one up (tests that
// call a subsystem without the shell).
inline HANDLE GeneralHeap() {
    return Shell().generalHeap ? Shell().generalHeap : GetProcessHeap();
}

// A zero-filled block of the general heap, freed at the end of the scope unless released.
struct GeneralHeapBlock : HeapBlock {
    explicit GeneralHeapBlock(SIZE_T size) : HeapBlock(GeneralHeap(), size) {}
};
