// The general heap that work buffers and handed-over texts come from, and a guard for one block.
#pragma once

#include <windows.h>

#include "app/Shell_win.h"

// The shell's general heap; the process heap while the shell has not set one up (tests that
// call a subsystem without the shell).
inline HANDLE GeneralHeap() {
    return Shell().generalHeap ? Shell().generalHeap : GetProcessHeap();
}

// A zero-filled block of the general heap, freed at the end of the scope unless Release hands it
// on. bytes is null when the heap refused. The block goes back to the heap it came from, even if
// the general heap is swapped meanwhile.
struct GeneralHeapBlock {
    HANDLE heap;
    char* bytes;
    explicit GeneralHeapBlock(SIZE_T size)
        : heap(GeneralHeap()), bytes(static_cast<char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, size))) {}
    ~GeneralHeapBlock() {
        if (bytes) {
            HeapFree(heap, 0, bytes);
        }
    }
    GeneralHeapBlock(const GeneralHeapBlock&) = delete;
    GeneralHeapBlock& operator=(const GeneralHeapBlock&) = delete;
    char* Release() {
        char* kept = bytes;
        bytes = nullptr;
        return kept;
    }
};
