// Page titles of captured URLs: a download of the page's first kilobyte that never keeps the
// caller waiting past the deadline, the title cut-out, and the conversion to Shift_JIS.
#include "web/PageTitle_win.h"
#include "web/PageFetchDeadline_win.h"
#include "web/TitleExtract.h"

#include <windows.h>
#include <wininet.h>

#include "base/Guards_win.h"
#include "base/Heap_win.h"
#include "Nkf32Exports_win.h"

#include <cstring>
#include <initializer_list>
#include <new>
#include <string>

namespace {

const char FallbackTitle[] = "ページタイトル不明";
constexpr int TitleBufferBytes = 1024;

unsigned g_deadlineMs = PageFetchDeadlineMs;
LONG g_downloadsRunning = 0;

// One download, shared by the waiting caller and the thread that talks to WinINet. Each holds
// a reference and the last to let go frees it, so a download thread that outlives its caller's
// deadline never writes into freed memory. The lock guards abandoned, the two handles and
// received; the body bytes from received on belong to the download thread until it ends; url
// and deadlineMs never change.
struct PageFetch {
    LONG references = 2;
    CriticalSection lock;
    bool abandoned = false;
    HINTERNET internet = nullptr;
    HINTERNET request = nullptr;
    size_t received = 0;
    DWORD deadlineMs = 0;
    std::string url;
    char body[PageHeadBytes + 1] = {};
};

PageFetch* NewPageFetch(const char* url, DWORD deadlineMs) {
    auto* fetch = new (std::nothrow) PageFetch;
    if (!fetch) {
        return nullptr;
    }
    fetch->url = url;
    fetch->deadlineMs = deadlineMs;
    return fetch;
}

void ReleasePageFetch(PageFetch* fetch) {
    if (InterlockedDecrement(&fetch->references) == 0) {
        delete fetch;
    }
}

// Closes the URL handle, then the internet handle. Whoever takes them out of the record closes
// them, outside the lock, since closing may wait on the network.
void CloseFetchHandles(PageFetch* fetch) {
    HINTERNET request;
    HINTERNET internet;
    {
        Locked locked(fetch->lock);
        request = fetch->request;
        internet = fetch->internet;
        fetch->request = nullptr;
        fetch->internet = nullptr;
    }
    if (request) {
        InternetCloseHandle(request);
    }
    if (internet) {
        InternetCloseHandle(internet);
    }
}

// Puts a freshly opened handle where the caller can close it at the deadline; false (and the
// handle closed) when the caller has already given up or the open failed.
bool Publish(PageFetch* fetch, HINTERNET* slot, HINTERNET handle) {
    if (!handle) {
        return false;
    }
    {
        Locked locked(fetch->lock);
        if (!fetch->abandoned) {
            *slot = handle;
            return true;
        }
    }
    InternetCloseHandle(handle);
    return false;
}

// Also bounds each WinINet operation, so that a download abandoned at the deadline ends soon
// even where closing its handles does not interrupt it.
void LimitOperations(HINTERNET internet, DWORD milliseconds) {
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        InternetSetOptionA(internet, option, &milliseconds, sizeof milliseconds);
    }
}

// The download thread: opens the page and reads until PageHeadBytes have arrived, the body
// ends, or the caller gives up and closes the handles under it. Reads only into its own record.
DWORD WINAPI DownloadPageHead(void* parameter) {
    auto* fetch = static_cast<PageFetch*>(parameter);
    HINTERNET internet = InternetOpenA(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (internet) {
        LimitOperations(internet, fetch->deadlineMs);
    }
    if (Publish(fetch, &fetch->internet, internet)) {
        // Flags 0: WinINet's defaults, redirections followed.
        HINTERNET request = InternetOpenUrlA(internet, fetch->url.c_str(), nullptr, 0, 0, 0);
        if (Publish(fetch, &fetch->request, request)) {
            // A read waits until it has all it asked for, so each one asks only for what has
            // already arrived: the bytes received before the deadline are then on record.
            size_t received = 0;
            while (received < static_cast<size_t>(PageHeadBytes)) {
                DWORD available = 0;
                if (!InternetQueryDataAvailable(request, &available, 0, 0) || available == 0) {
                    break;
                }
                DWORD wanted = static_cast<DWORD>(PageHeadBytes - received);
                if (available < wanted) {
                    wanted = available;
                }
                DWORD n = 0;
                BOOL read = InternetReadFile(request, fetch->body + received, wanted, &n);
                Locked locked(fetch->lock);
                if (fetch->abandoned || !read || n == 0) {
                    break;
                }
                received += n;
                fetch->received = received;
            }
        }
    }
    CloseFetchHandles(fetch);
    ReleasePageFetch(fetch);
    InterlockedDecrement(&g_downloadsRunning);
    return 0;
}

} // namespace

void SetPageFetchDeadlineForTests(unsigned milliseconds) {
    g_deadlineMs = milliseconds ? milliseconds : PageFetchDeadlineMs;
}

int PageDownloadsRunningForTests() {
    return InterlockedCompareExchange(&g_downloadsRunning, 0, 0);
}

int FetchPageTitle(const char* url, char* destination, int capacity) {
    if (!url || !destination) {
        return 0;
    }
    PageFetch* fetch = NewPageFetch(url, g_deadlineMs);
    if (!fetch) {
        return 0;
    }
    InterlockedIncrement(&g_downloadsRunning);
    KernelHandle thread(CreateThread(nullptr, 0, DownloadPageHead, fetch, 0, nullptr));
    if (!thread.get()) {
        InterlockedDecrement(&g_downloadsRunning);
        ReleasePageFetch(fetch);
        ReleasePageFetch(fetch);
        return 0;
    }
    // The window's thread waits here without dispatching messages, so nothing can change the
    // history while a title is being fetched.
    size_t arrived;
    if (WaitForSingleObject(thread.get(), fetch->deadlineMs) == WAIT_OBJECT_0) {
        arrived = fetch->received;
    } else {
        // Closing the handles makes the thread's blocked WinINet call return; the title is cut
        // from what arrived before the deadline.
        {
            Locked locked(fetch->lock);
            fetch->abandoned = true;
            arrived = fetch->received;
        }
        CloseFetchHandles(fetch);
    }
    int length = ExtractPageTitle(fetch->body, arrived, destination, capacity);
    ReleasePageFetch(fetch);
    return length;
}

char* GetPageTitle(const char* url) {
    GeneralHeapBlock raw(TitleBufferBytes);
    GeneralHeapBlock converted(TitleBufferBytes);
    if (!raw.get()) {
        return nullptr;
    }
    bool found = false;
    if (converted.get() && FetchPageTitle(url, raw.get(), TitleBufferBytes - 1) > 0) {
        // The library keeps its options between calls; setting them every time makes this
        // conversion independent of whoever called it before.
        SetNkfOption("s");
        NkfConvert(converted.get(), raw.get());
        converted.get()[TitleBufferBytes - 1] = '\0';
        std::memcpy(raw.get(), converted.get(), TitleBufferBytes);
        // A title of only characters without a Shift_JIS form converts to nothing.
        found = raw.get()[0] != '\0';
    }
    if (!found) {
        std::memcpy(raw.get(), FallbackTitle, sizeof FallbackTitle);
    }
    return raw.release();
}

void ReleasePageTitle(char* title) {
    HeapBlock released(GeneralHeap(), title);
}
