// Page downloads on threads of their own, a watchdog for their bound, and results posted to the
// window's thread.
#include "web/PageDownload_win.h"
#include "web/WebTestSeams.h"

#include <cstring>
#include <initializer_list>
#include <new>

#include "base/Guards_win.h"
#include "web/DeclaredCharset.h"
#include "web/PageTitle_win.h"
#include "web/TitleQueue.h"
#include "web/WinInet_win.h"

namespace {

#ifdef CLIPWREN_PRIVACY_CONTROL
// The control build of the privacy tests: WinINet's defaults, and the address's user name and
// password handed over, as InternetOpenUrl would.
constexpr DWORD FetchFlags = 0;
constexpr bool PassCredentials = true;
#else
// Any page can put an address on the clipboard, and it is fetched at once: the request must
// not carry the user's cookies or credentials (a request forged through the clipboard), show a
// dialog, or leave the page in the browser's cache. NO_AUTH also leaves a proxy's demand for
// authentication unanswered: WinINet has one switch for both.
constexpr DWORD FetchFlags = INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTH | INTERNET_FLAG_NO_UI |
                             INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
// A user name and password in the address are never given to WinINet either.
constexpr bool PassCredentials = false;
#endif

// Longer than any captured text, terminating zero included.
constexpr size_t UrlBytes = 1024;
constexpr size_t ContentTypeBytes = 256;
// The raw title is cut to this many bytes less one.
constexpr int RawTitleCapacity = PageHeadBytes - 1;

enum class SlotState {
    Free,    // no thread
    Running, // a thread, its result still to be handed over
    GivenUp, // a thread still blocked, its result handed over at the bound
};

// One download. The table's lock guards every field but url (written before the thread starts,
// then only read) and the body bytes from received on, which the thread fills before it puts
// them on record.
struct Download {
    SlotState state;
    uint32_t serial;
    uint32_t generation; // of the window accepting results when it started
    ULONGLONG started;
    DWORD boundMs;
    size_t received;
    char contentType[ContentTypeBytes];
    char url[UrlBytes];
    char body[PageHeadBytes];
};

// Made by the first call on the window's thread and never freed: a download thread that is still
// blocked when everything else is gone finds it intact.
struct Downloads {
    Downloads() : wake(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

    CriticalSection lock;
    KernelHandle wake; // auto-reset: the watchdog looks at the bounds again
    bool watchdogRunning = false;
    bool abandonAll = false;
    const WinInetApi* api = nullptr;
    HWND window = nullptr;
    UINT message = 0;
    bool accepting = false;
    uint32_t generation = 0;
    int running = 0;
    int threads = 0;
    Download slot[MaxDownloadThreads] = {};
};

Downloads* g_downloads = nullptr;
DWORD g_boundMs = PageFetchDeadlineMs;

Downloads& Table() {
    if (!g_downloads) {
        g_downloads = new Downloads;
    }
    return *g_downloads;
}

// The result of d from what is on record. Under the lock.
PageTitleResult* MakeResult(const Download& d) {
    auto* result = new (std::nothrow) PageTitleResult;
    if (!result) {
        return nullptr;
    }
    result->serial = d.serial;
    const char* option = DeclaredNkfOption(d.contentType[0] ? d.contentType : nullptr, d.body, d.received);
    size_t length = std::strlen(option);
    length = length < sizeof result->option ? length : sizeof result->option - 1;
    std::memcpy(result->option, option, length);
    result->option[length] = '\0';
    result->title[0] = '\0';
    result->found = ExtractPageTitle(d.body, d.received, result->title, RawTitleCapacity) > 0 ? 1 : 0;
    return result;
}

// Posts d's result to the window that accepted results when d started, if it still does.
// Under the lock, which orders every post before StopAcceptingPageTitles returns.
void HandOver(Downloads& t, const Download& d) {
    if (!t.accepting || d.generation != t.generation) {
        return;
    }
    PageTitleResult* result = MakeResult(d);
    // Without a result the message still says the download has ended.
    if (!PostMessageA(t.window, t.message, d.serial, reinterpret_cast<LPARAM>(result))) {
        ReleasePageTitleResult(result);
    }
}

bool StillRunning(Downloads& t, const Download& d) {
    Locked locked(t.lock);
    return d.state == SlotState::Running;
}

// A download's WinINet handles, closed by its own thread, last opened first. No other thread
// ever closes them: closing a handle while a call on it may be under way (or about to start) is
// unsafe, and its value may be handed out again to another download.
class InternetHandles {
public:
    explicit InternetHandles(const WinInetApi& api) : api_(api) {}
    ~InternetHandles() {
        while (count_ > 0) {
            api_.closeHandle(handles_[--count_]);
        }
    }
    InternetHandles(const InternetHandles&) = delete;
    InternetHandles& operator=(const InternetHandles&) = delete;
    HINTERNET Keep(HINTERNET handle) {
        if (handle) {
            handles_[count_++] = handle;
        }
        return handle;
    }

private:
    const WinInetApi& api_;
    HINTERNET handles_[3] = {};
    int count_ = 0;
};

// Bounds each WinINet operation too, so that a download given up at its bound soon returns from
// the call it is blocked in, and ends. Set on every handle: Wine's requests do not take them over
// from the handles above.
void LimitOperations(const WinInetApi& api, HINTERNET handle, DWORD milliseconds) {
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        api.setOption(handle, option, &milliseconds, sizeof milliseconds);
    }
}

// Where a request goes, from the parts of the address WinINet cracks it into.
struct RequestTarget {
    char host[INTERNET_MAX_HOST_NAME_LENGTH + 1];
    char user[UrlBytes];
    char password[UrlBytes];
    char object[UrlBytes + 1]; // path and query; a fragment is never sent
    INTERNET_PORT port;
    DWORD flags;
};

bool CopyPart(char* destination, size_t capacity, const char* part, DWORD length) {
    if (length >= capacity) {
        return false;
    }
    if (length) {
        std::memcpy(destination, part, length);
    }
    destination[length] = '\0';
    return true;
}

bool CrackAddress(const WinInetApi& api, const char* url, RequestTarget& target) {
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof parts;
    // Lengths without buffers: the parts are pointed out in url.
    parts.dwHostNameLength = 1;
    parts.dwUserNameLength = 1;
    parts.dwPasswordLength = 1;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (!api.crackUrl(url, 0, 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) ||
        !CopyPart(target.host, sizeof target.host, parts.lpszHostName, parts.dwHostNameLength) ||
        !CopyPart(target.user, sizeof target.user, parts.lpszUserName, parts.dwUserNameLength) ||
        !CopyPart(target.password, sizeof target.password, parts.lpszPassword, parts.dwPasswordLength)) {
        return false;
    }
    // The path and the extra information lie one after the other in url.
    const char* path = parts.dwUrlPathLength ? parts.lpszUrlPath : parts.lpszExtraInfo;
    size_t length = (path ? std::strlen(path) : 0);
    if (const char* fragment = path ? std::strchr(path, '#') : nullptr) {
        length = static_cast<size_t>(fragment - path);
    }
    const bool rooted = length > 0 && path[0] == '/';
    target.object[0] = '/';
    if (!CopyPart(target.object + (rooted ? 0 : 1), sizeof target.object - 1, path, static_cast<DWORD>(length))) {
        return false;
    }
    target.port = parts.nPort;
    target.flags = FetchFlags | (parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0);
    return true;
}

// A proxy that asks for authentication is not answered (see FetchFlags); its refusal page is not
// the page, so it gives no title.
bool RefusedByProxy(const WinInetApi& api, HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    return api.queryInfo(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) &&
           status == HTTP_STATUS_PROXY_AUTH_REQ;
}

void RecordContentType(Downloads& t, Download& d, HINTERNET request) {
    char type[ContentTypeBytes] = {};
    DWORD size = sizeof type - 1;
    if (!t.api->queryInfo(request, HTTP_QUERY_CONTENT_TYPE, type, &size, nullptr)) {
        return;
    }
    type[size < sizeof type ? size : sizeof type - 1] = '\0';
    Locked locked(t.lock);
    std::memcpy(d.contentType, type, sizeof type);
}

// Reads until PageHeadBytes have arrived, the body ends, or the download is given up. A read
// waits until it has all it asked for, so each one asks only for what has already arrived: the
// bytes received before the bound are then on record.
void ReadHead(Downloads& t, Download& d, HINTERNET request) {
    size_t received = 0;
    while (received < static_cast<size_t>(PageHeadBytes)) {
        DWORD available = 0;
        if (!t.api->queryDataAvailable(request, &available, 0, 0) || available == 0) {
            break;
        }
        DWORD wanted = static_cast<DWORD>(PageHeadBytes - received);
        if (available < wanted) {
            wanted = available;
        }
        DWORD n = 0;
        BOOL read = t.api->readFile(request, d.body + received, wanted, &n);
        Locked locked(t.lock);
        if (d.state != SlotState::Running || !read || n == 0) {
            break;
        }
        received += n;
        d.received = received;
    }
}

// Hands over the result unless the watchdog already has, and frees the slot. Exactly one message
// leaves here, so the window's thread hears of every thread that ends.
void Finish(Downloads& t, Download& d) {
    Locked locked(t.lock);
    if (d.state == SlotState::Running) {
        --t.running;
        HandOver(t, d);
    } else if (t.accepting) {
        PostMessageA(t.window, t.message, 0, 0);
    }
    d.state = SlotState::Free;
    --t.threads;
}

// Opens the request for d's address through the user's configured proxy (if any) and sends
// it; redirections are followed. Null when the download cannot go on or has been given up.
HINTERNET SendRequest(Downloads& t, Download& d, InternetHandles& handles) {
    const WinInetApi& api = *t.api;
    RequestTarget target;
    if (!CrackAddress(api, d.url, target)) {
        return nullptr;
    }
    HINTERNET internet = handles.Keep(api.open(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet) {
        return nullptr;
    }
    LimitOperations(api, internet, d.boundMs);
    HINTERNET connection =
        handles.Keep(api.connect(internet, target.host, target.port, PassCredentials ? target.user : nullptr,
                                 PassCredentials ? target.password : nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) {
        return nullptr;
    }
    LimitOperations(api, connection, d.boundMs);
    const char* accept[] = {"*/*", nullptr};
    HINTERNET request =
        handles.Keep(api.openRequest(connection, nullptr, target.object, nullptr, nullptr, accept, target.flags, 0));
    if (!request) {
        return nullptr;
    }
    LimitOperations(api, request, d.boundMs);
    if (!api.sendRequest(request, nullptr, 0, nullptr, 0) || !StillRunning(t, d)) {
        return nullptr;
    }
    return request;
}

DWORD WINAPI DownloadThread(void* parameter) {
    Downloads& t = Table();
    Download& d = *static_cast<Download*>(parameter);
    {
        // Closed before the result goes, so a server never sees more downloads at once than run.
        InternetHandles handles(*t.api);
        HINTERNET request = SendRequest(t, d, handles);
        if (request && !RefusedByProxy(*t.api, request)) {
            RecordContentType(t, d, request);
            ReadHead(t, d, request);
        }
    }
    Finish(t, d);
    return 0;
}

// Hands over the result of every download past its bound (of every download, once the process
// is ending); their threads stop when their blocked call returns. Returns how long it may sleep.
DWORD GiveUpLateDownloads(Downloads& t) {
    DWORD sleep = INFINITE;
    Locked locked(t.lock);
    const ULONGLONG now = GetTickCount64();
    for (Download& d : t.slot) {
        if (d.state != SlotState::Running) {
            continue;
        }
        const ULONGLONG elapsed = now - d.started;
        if (!t.abandonAll && elapsed < d.boundMs) {
            const DWORD left = static_cast<DWORD>(d.boundMs - elapsed);
            sleep = left < sleep ? left : sleep;
            continue;
        }
        --t.running;
        HandOver(t, d);
        d.state = SlotState::GivenUp;
    }
    return sleep;
}

DWORD WINAPI Watchdog(void*) {
    Downloads& t = Table();
    for (;;) {
        const DWORD sleep = GiveUpLateDownloads(t);
        WaitForSingleObject(t.wake.get(), sleep);
    }
}

bool StartWatchdog(Downloads& t) {
    if (!t.watchdogRunning) {
        KernelHandle thread(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
        t.watchdogRunning = thread.valid();
    }
    return t.watchdogRunning;
}

} // namespace

void SetPageFetchDeadlineForTests(unsigned milliseconds) {
    g_boundMs = milliseconds ? milliseconds : PageFetchDeadlineMs;
}

void AcceptPageTitles(HWND window, UINT message) {
    Downloads& t = Table();
    Locked locked(t.lock);
    t.window = window;
    t.message = message;
    t.accepting = true;
    ++t.generation;
}

void StopAcceptingPageTitles() {
    Downloads& t = Table();
    Locked locked(t.lock);
    t.accepting = false;
    ++t.generation;
}

bool StartPageDownload(uint32_t serial, const char* url) {
    Downloads& t = Table();
    const size_t length = std::strlen(url);
    if (length >= UrlBytes || !t.wake.valid()) {
        return false;
    }
    if (!t.api) {
        t.api = LoadWinInet();
    }
    if (!t.api || !StartWatchdog(t)) {
        return false;
    }
    Download* d = nullptr;
    {
        Locked locked(t.lock);
        for (Download& slot : t.slot) {
            if (slot.state == SlotState::Free) {
                d = &slot;
                break;
            }
        }
        if (!d) {
            return false;
        }
        d->state = SlotState::Running;
        d->serial = serial;
        d->generation = t.generation;
        d->started = GetTickCount64();
        d->boundMs = g_boundMs;
        d->received = 0;
        d->contentType[0] = '\0';
        std::memcpy(d->url, url, length + 1);
        ++t.running;
        ++t.threads;
    }
    KernelHandle thread(CreateThread(nullptr, 0, DownloadThread, d, 0, nullptr));
    if (!thread.valid()) {
        Locked locked(t.lock);
        d->state = SlotState::Free;
        --t.running;
        --t.threads;
        return false;
    }
    SetEvent(t.wake.get());
    return true;
}

int PageDownloadsRunning() {
    if (!g_downloads) {
        return 0;
    }
    Locked locked(g_downloads->lock);
    return g_downloads->running;
}

int PageDownloadThreads() {
    if (!g_downloads) {
        return 0;
    }
    Locked locked(g_downloads->lock);
    return g_downloads->threads;
}

void ReleasePageTitleResult(PageTitleResult* result) {
    delete result;
}

void ExitProcessBesideDownloads(UINT exitCode) {
    if (g_downloads && PageDownloadThreads() > 0) {
        {
            Locked locked(g_downloads->lock);
            g_downloads->accepting = false;
            g_downloads->abandonAll = true;
        }
        SetEvent(g_downloads->wake.get());
        for (int waited = 0; waited < 500 && PageDownloadThreads() > 0; waited += 10) {
            Sleep(10);
        }
        if (PageDownloadThreads() > 0) {
            // Detaching WinINet while a thread is blocked inside it may wait for good.
            TerminateProcess(GetCurrentProcess(), exitCode);
        }
    }
    ExitProcess(exitCode);
}
