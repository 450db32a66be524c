// Every acquire/release pair of the program, each in a small guard of one shape: get() gives the
// resource, release() hands it on (the guard then frees nothing), no copies.
#pragma once

#include <windows.h>

// A kernel handle: CreateFile, CreateThread, CreateEvent, CreateFileMapping... Null and INVALID_HANDLE_VALUE both
// mean none, since the API uses both.
class KernelHandle {
public:
    explicit KernelHandle(HANDLE handle = nullptr) : handle_(handle) {}
    ~KernelHandle() { Close(); }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE release() {
        HANDLE kept = handle_;
        handle_ = nullptr;
        return kept;
    }
    void Close() {
        if (valid()) {
            CloseHandle(handle_);
        }
        handle_ = nullptr;
    }
    void Reset(HANDLE handle = nullptr) {
        Close();
        handle_ = handle;
    }

private:
    HANDLE handle_;
};

// GlobalLock for the scope; bytes is null when the block could not be locked.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL block) : block_(block), bytes_(block ? GlobalLock(block) : nullptr) {}
    ~GlobalLockGuard() {
        if (bytes_) {
            GlobalUnlock(block_);
        }
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    void* get() const { return bytes_; }

private:
    HGLOBAL block_;
    void* bytes_;
};

// A movable global block this program still owns; once SetClipboardData has taken it, release()
// hands it over.
class OwnedGlobal {
public:
    OwnedGlobal(UINT flags, SIZE_T size) : block_(GlobalAlloc(flags, size)) {}
    ~OwnedGlobal() {
        if (block_) {
            GlobalFree(block_);
        }
    }
    OwnedGlobal(const OwnedGlobal&) = delete;
    OwnedGlobal& operator=(const OwnedGlobal&) = delete;
    HGLOBAL get() const { return block_; }
    HGLOBAL release() {
        HGLOBAL kept = block_;
        block_ = nullptr;
        return kept;
    }

private:
    HGLOBAL block_;
};

// The clipboard, opened for the scope. A program that keeps it open longer than retryMs makes the
// open fail instead of freezing the caller. Opened with a window of ours where there is one:
// Wine lets an open without a window take the clipboard from another program that opened it
// without one, in the middle of that program's write.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND window = nullptr, DWORD retryMs = 50) : open_(OpenPatiently(window, retryMs)) {}
    ~OpenedClipboard() {
        if (open_) {
            CloseClipboard();
        }
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool get() const { return open_; }

private:
    static bool OpenPatiently(HWND window, DWORD retryMs) {
        const DWORD start = GetTickCount();
        for (int attempt = 1;; ++attempt) {
            if (OpenClipboard(window)) {
                return true;
            }
            if (attempt >= 2 && GetTickCount() - start >= retryMs) {
                return false;
            }
            Sleep(1);
        }
    }
    bool open_;
};

// A zero-filled block of a heap; null when the heap refused. It goes back to the heap it came
// from, whatever heap is current by then.
class HeapBlock {
public:
    HeapBlock(HANDLE heap, SIZE_T size)
        : heap_(heap), bytes_(static_cast<char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, size))) {}
    // Takes over a block allocated elsewhere from heap.
    HeapBlock(HANDLE heap, char* adopted) : heap_(heap), bytes_(adopted) {}
    ~HeapBlock() {
        if (bytes_) {
            HeapFree(heap_, 0, bytes_);
        }
    }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    char* get() const { return bytes_; }
    char* release() {
        char* kept = bytes_;
        bytes_ = nullptr;
        return kept;
    }

private:
    HANDLE heap_;
    char* bytes_;
};

// A zero-filled block of the process heap, where work buffers come from.
struct ProcessHeapBlock : HeapBlock {
    explicit ProcessHeapBlock(SIZE_T size) : HeapBlock(GetProcessHeap(), size) {}
};

// A handle this program owns, given back by Free at the end of the scope unless release() hands
// it on; null is none. The handles below differ only in how they are given back.
template <typename Handle, void (*Free)(Handle)>
class OwnedHandle {
public:
    explicit OwnedHandle(Handle handle = nullptr) : handle_(handle) {}
    ~OwnedHandle() { Reset(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    Handle get() const { return handle_; }
    Handle release() {
        Handle kept = handle_;
        handle_ = nullptr;
        return kept;
    }
    void Reset(Handle handle = nullptr) {
        if (handle_) {
            Free(handle_);
        }
        handle_ = handle;
    }

private:
    Handle handle_;
};

inline void UnmapView(void* view) { UnmapViewOfFile(view); }
template <typename Handle> void DeleteGdiObject(Handle object) { DeleteObject(object); }
inline void DestroyMenuHandle(HMENU menu) { DestroyMenu(menu); }
inline void DestroyIconHandle(HICON icon) { DestroyIcon(icon); }

// A view of a file mapping (MapViewOfFile); null when the mapping could not be viewed.
using MappedView = OwnedHandle<void*, UnmapView>;
// A GDI object (font, brush) this program created.
template <typename Handle> using GdiObject = OwnedHandle<Handle, DeleteGdiObject<Handle>>;
// A menu not attached to a window (a popup, or the bar before SetMenu); its drop-downs go with it.
using MenuHandle = OwnedHandle<HMENU, DestroyMenuHandle>;
// An icon loaded with LoadImage (shared icons from LoadIcon are never destroyed).
using IconHandle = OwnedHandle<HICON, DestroyIconHandle>;

// A critical section that lives as long as its owner.
class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&section_); }
    ~CriticalSection() { DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    CRITICAL_SECTION* get() { return &section_; }

private:
    CRITICAL_SECTION section_;
};

// Holds a critical section for the scope.
class Locked {
public:
    explicit Locked(CriticalSection& section) : section_(section.get()) { EnterCriticalSection(section_); }
    ~Locked() { LeaveCriticalSection(section_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    CRITICAL_SECTION* section_;
};

// BeginPaint/EndPaint for the scope.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDc() { EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_;
    HDC dc_;
};

// A control that does not repaint while the guard lives, and is repainted once at its end.
class RedrawOff {
public:
    explicit RedrawOff(HWND control) : control_(control) { SendMessageA(control_, WM_SETREDRAW, FALSE, 0); }
    ~RedrawOff() {
        SendMessageA(control_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(control_, nullptr, TRUE);
    }
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;

private:
    HWND control_;
};
