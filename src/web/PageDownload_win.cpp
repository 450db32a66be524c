// Page downloads on threads of their own, a watchdog for their bound, and results posted to the
// window's thread.
#include "web/PageDownload_win.h"
#include "web/WebTestSeams.h"

#include <cstring>
#include <new>

#include "base/Guards_win.h"
#include "web/DeclaredCharset.h"
#include "web/HttpRequest_win.h"
#include "web/Redirect.h"
#include "web/PageTitle_win.h"
#include "web/TitleQueue.h"
#include "web/WinInet_win.h"

namespace {


constexpr size_t ContentTypeBytes = 256;
// The raw title is cut to this many bytes less one.
constexpr int RawTitleCapacity = PageHeadBytes - 1;

enum class SlotState {
    Free,    // no thread
    Running, // a thread, its result still to be handed over
    GivenUp, // a thread still closing down, its result handed over at the bound
};

// One download. The table's lock guards every field but url (written before the thread starts,
// then only read), the body bytes from received on, which the thread fills before it puts them
// on record, and available and buffers, which only the thread and WinINet's calls on its behalf
// write: they live here rather than on the thread's stack so that no late write by WinINet can
// reach memory that has gone.
struct Download {
    SlotState state;
    uint32_t serial;
    uint32_t generation; // of the window accepting results when it started
    uint32_t ticket;     // names the download to WinINet's status callback; new for each one
    ULONGLONG started;
    DWORD boundMs;
    size_t received;
    unsigned status;       // the final page's HTTP status
    TitleFailureNote note; // the step and hop so far, and the failure once there is one
    bool completed;        // the pending WinINet call has completed
    DWORD_PTR completionResult;
    DWORD completionError;
    DWORD available;
    INTERNET_BUFFERSA buffers;
    char contentType[ContentTypeBytes];
    char url[UrlBytes];
    char body[PageHeadBytes];
};

// Made by the first call on the window's thread and never freed: a download thread, or a late
// status callback of WinINet, that comes when everything else is gone finds it intact.
struct Downloads {
    Downloads() : wake(CreateEventA(nullptr, FALSE, FALSE, nullptr)), ending(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        for (KernelHandle& event : done) {
            event.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        }
    }

    CriticalSection lock;
    KernelHandle wake;   // auto-reset: the watchdog looks at the bounds again
    KernelHandle ending; // manual-reset: the process ends, every wait for WinINet returns
    KernelHandle done[MaxDownloadThreads]; // auto-reset, one per slot: its pending call completed
    bool watchdogRunning = false;
    bool abandonAll = false;
    const WinInetApi* api = nullptr;
    HWND window = nullptr;
    UINT message = 0;
    bool accepting = false;
    uint32_t generation = 0;
    uint32_t tickets = 0;
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

int IndexOf(const Downloads& t, const Download& d) {
    return static_cast<int>(&d - t.slot);
}

// Why d gives no title, from what is on record; givenUp when the bound has passed. Under the lock.
TitleFailureNote NoteOf(const Download& d, bool found, bool givenUp) {
    TitleFailureNote note = d.note;
    if (found) {
        note.failure = TitleFailure::None;
    } else if (note.failure == TitleFailure::None) {
        note.failure = givenUp ? TitleFailure::Timeout : TitleFailure::NoTitle;
        note.code = givenUp ? 0 : d.status;
    }
    return note;
}

// The result of d from what is on record. Under the lock.
PageTitleResult* MakeResult(const Download& d, bool givenUp) {
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
    result->note = NoteOf(d, result->found == 1, givenUp);
    return result;
}

// Posts d's result to the window that accepted results when d started, if it still does.
// Under the lock, which orders every post before StopAcceptingPageTitles returns.
void HandOver(Downloads& t, const Download& d, bool givenUp) {
    if (!t.accepting || d.generation != t.generation) {
        return;
    }
    PageTitleResult* result = MakeResult(d, givenUp);
    // Without a result the message still says the download has ended.
    if (!PostMessageA(t.window, t.message, d.serial, reinterpret_cast<LPARAM>(result))) {
        ReleasePageTitleResult(result);
    }
}

// What is left of d's bound; 0 once it is given up or the process ends.
DWORD TimeLeft(Downloads& t, const Download& d) {
    Locked locked(t.lock);
    if (t.abandonAll || d.state != SlotState::Running) {
        return 0;
    }
    const ULONGLONG elapsed = GetTickCount64() - d.started;
    return elapsed < d.boundMs ? static_cast<DWORD>(d.boundMs - elapsed) : 0;
}

void NoteStep(Downloads& t, Download& d, DownloadStep step) {
    Locked locked(t.lock);
    d.note.step = step;
}

// Records why d ends, unless it already has a reason; returns false for the caller to pass on.
bool Fail(Downloads& t, Download& d, TitleFailure failure, DWORD code = 0) {
    Locked locked(t.lock);
    if (d.note.failure == TitleFailure::None) {
        d.note.failure = failure;
        d.note.code = code;
    }
    return false;
}

// WinINet's status callback, on whatever thread WinINet chooses. It touches the table only, under
// its lock, and only the download its ticket names: a completion that comes after its download
// has closed its handles and gone (Wine finishes a cancelled call when the server lets go) finds
// no ticket of its own and reaches no other download.
void CALLBACK OnInternetStatus(HINTERNET, DWORD_PTR context, DWORD status, void* information, DWORD) {
    if (status != INTERNET_STATUS_REQUEST_COMPLETE || !information || !g_downloads) {
        return;
    }
    const auto* outcome = static_cast<const INTERNET_ASYNC_RESULT*>(information);
    Downloads& t = *g_downloads;
    Locked locked(t.lock);
    for (Download& d : t.slot) {
        if (d.state != SlotState::Free && d.ticket != 0 && d.ticket == context) {
            d.completed = true;
            d.completionResult = outcome->dwResult;
            d.completionError = outcome->dwError;
            SetEvent(t.done[IndexOf(t, d)].get());
        }
    }
}

// Before a call that may complete later.
void Arm(Downloads& t, Download& d) {
    Locked locked(t.lock);
    d.completed = false;
    ResetEvent(t.done[IndexOf(t, d)].get());
}

// The end of a call made in asynchronous mode: finished says what it returned. A pending call is
// waited for no longer than the time left. False when the download ends here.
bool Await(Downloads& t, Download& d, BOOL finished) {
    if (finished) {
        return true;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) {
        return Fail(t, d, TitleFailure::NetworkError, error);
    }
    HANDLE events[] = {t.done[IndexOf(t, d)].get(), t.ending.get()};
    if (WaitForMultipleObjects(2, events, FALSE, TimeLeft(t, d)) != WAIT_OBJECT_0) {
        return Fail(t, d, TitleFailure::Timeout);
    }
    bool succeeded = false;
    DWORD failed = 0;
    {
        Locked locked(t.lock);
        succeeded = d.completionResult != 0;
        failed = d.completionError;
    }
    return succeeded || Fail(t, d, TitleFailure::NetworkError, failed);
}

// A download's WinINet handles: the session, and the connection and request of the current hop.
// The download's own thread is their one owner. It alone calls WinINet on them, and it closes
// each one once, after its last call on it, last opened first. No other thread ever calls on
// them or closes them: a handle closed by one thread while another may be about to call on it
// is unsafe, since its value may already name another download's handle. So the watchdog hands
// over the result at the bound without touching them, and the thread, which waits for any
// pending call no longer than the time left, closes them itself when that runs out: on Windows
// closing the request ends its pending call and its connection at once.
class InternetHandles {
public:
    explicit InternetHandles(const WinInetApi& api) : api_(api) {}
    ~InternetHandles() { CloseDownTo(0); }
    InternetHandles(const InternetHandles&) = delete;
    InternetHandles& operator=(const InternetHandles&) = delete;
    HINTERNET Keep(HINTERNET handle) {
        if (handle) {
            handles_[count_++] = handle;
        }
        return handle;
    }
    // Closes the hop's connection and request, keeps the session.
    void CloseHop() { CloseDownTo(1); }

private:
    void CloseDownTo(int kept) {
        while (count_ > kept) {
            api_.closeHandle(handles_[--count_]);
        }
    }

    const WinInetApi& api_;
    HINTERNET handles_[3] = {};
    int count_ = 0;
};

void RecordAnswer(Downloads& t, Download& d, HINTERNET request, unsigned status) {
    char type[ContentTypeBytes] = {};
    DWORD size = sizeof type - 1;
    if (t.api->queryInfo(request, HTTP_QUERY_CONTENT_TYPE, type, &size, nullptr)) {
        type[size < sizeof type ? size : sizeof type - 1] = '\0';
    } else {
        type[0] = '\0';
    }
    Locked locked(t.lock);
    std::memcpy(d.contentType, type, sizeof type);
    d.status = status;
}

// Reads until PageHeadBytes have arrived, the body ends, or the time is up. Each read takes only
// what has already arrived, without waiting, so the bytes received before the bound are then on
// record; the wait for more is a pending query that the time left bounds.
void ReadHead(Downloads& t, Download& d, HINTERNET request) {
    const WinInetApi& api = *t.api;
    NoteStep(t, d, DownloadStep::Reading);
    size_t received = 0;
    while (received < static_cast<size_t>(PageHeadBytes)) {
        Arm(t, d);
        const BOOL answered = api.queryDataAvailable(request, &d.available, 0, 0);
        if (!answered) {
            // Once the data has come, the query is asked again and answers at once.
            if (!Await(t, d, answered)) {
                return;
            }
            continue;
        }
        if (d.available == 0) {
            return;
        }
        DWORD wanted = static_cast<DWORD>(PageHeadBytes - received);
        wanted = d.available < wanted ? d.available : wanted;
        d.buffers = {};
        d.buffers.dwStructSize = sizeof d.buffers;
        d.buffers.lpvBuffer = d.body + received;
        d.buffers.dwBufferLength = wanted;
        if (!api.readFileEx(request, &d.buffers, IRF_NO_WAIT, d.ticket)) {
            Fail(t, d, TitleFailure::NetworkError, GetLastError());
            return;
        }
        Locked locked(t.lock);
        if (d.state != SlotState::Running || d.buffers.dwBufferLength == 0) {
            return;
        }
        received += d.buffers.dwBufferLength;
        d.received = received;
    }
}

// Connects for url and sends its request, on the session's next hop; waits for the answer's
// headers. False when the download ends here.
bool SendHop(Downloads& t, Download& d, InternetHandles& handles, HINTERNET session, const char* url,
             HINTERNET& request) {
    const WinInetApi& api = *t.api;
    RequestTarget target;
    if (!CrackAddress(api, url, target)) {
        return Fail(t, d, TitleFailure::BadAddress);
    }
    NoteStep(t, d, DownloadStep::Connecting);
    HINTERNET connection =
        handles.Keep(api.connect(session, target.host, target.port, ConnectUser(target), ConnectPassword(target),
                                 INTERNET_SERVICE_HTTP, 0, d.ticket));
    if (!connection) {
        return Fail(t, d, TitleFailure::NetworkError, GetLastError());
    }
    const char* accept[] = {"*/*", nullptr};
    request = handles.Keep(
        api.openRequest(connection, nullptr, target.object, nullptr, nullptr, accept, target.flags, d.ticket));
    if (!request) {
        return Fail(t, d, TitleFailure::NetworkError, GetLastError());
    }
    const DWORD left = TimeLeft(t, d);
    if (left == 0) {
        return Fail(t, d, TitleFailure::Timeout);
    }
    LimitOperations(api, connection, left);
    LimitOperations(api, request, left);
    NoteStep(t, d, DownloadStep::Sending);
    Arm(t, d);
    return Await(t, d, api.sendRequest(request, nullptr, 0, nullptr, 0));
}

// Downloads d's page through the user's configured proxy (if any), following redirections
// itself: WinINet's own following is unbounded under Wine and may refuse a hop between http and
// https on Windows. Every hop is a new request of the same session, with the same flags, within
// the same bound.
void Fetch(Downloads& t, Download& d) {
    const WinInetApi& api = *t.api;
    InternetHandles handles(api);
    NoteStep(t, d, DownloadStep::Connecting);
    HINTERNET session = handles.Keep(api.open(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_ASYNC));
    if (!session) {
        Fail(t, d, TitleFailure::NetworkError, GetLastError());
        return;
    }
    api.setStatusCallback(session, OnInternetStatus);
    char url[UrlBytes];
    std::memcpy(url, d.url, sizeof url);
    RedirectTrail trail;
    StartTrail(trail, url);
    for (;;) {
        handles.CloseHop();
        HINTERNET request = nullptr;
        if (!SendHop(t, d, handles, session, url, request)) {
            return;
        }
        const unsigned status = StatusOf(api, request);
        char location[2 * UrlBytes];
        if (IsRedirectStatus(status) == 1 && LocationOf(api, request, location, sizeof location)) {
            char next[UrlBytes];
            if (ResolveLocation(url, location, next, sizeof next) != 1) {
                Fail(t, d, TitleFailure::BadRedirect);
                return;
            }
            const HopVerdict verdict = NextHop(trail, next);
            if (verdict != HopVerdict::Follow) {
                Fail(t, d, verdict == HopVerdict::Loop ? TitleFailure::RedirectLoop : TitleFailure::TooManyRedirects);
                return;
            }
            {
                Locked locked(t.lock);
                d.note.hop = static_cast<uint8_t>(trail.hops);
            }
            std::memcpy(url, next, sizeof url);
            continue;
        }
        // A proxy that asks for authentication is not answered (see HttpRequest_win.cpp); its refusal page
        // is not the page, so it gives no title.
        if (status == HTTP_STATUS_PROXY_AUTH_REQ) {
            Fail(t, d, TitleFailure::Refused, status);
            return;
        }
        RecordAnswer(t, d, request, status);
        ReadHead(t, d, request);
        return;
    }
}

// Hands over the result unless the watchdog already has, and frees the slot. Exactly one message
// leaves here, so the window's thread hears of every thread that ends.
void Finish(Downloads& t, Download& d) {
    Locked locked(t.lock);
    if (d.state == SlotState::Running) {
        --t.running;
        HandOver(t, d, false);
    } else if (t.accepting) {
        PostMessageA(t.window, t.message, 0, 0);
    }
    d.state = SlotState::Free;
    d.ticket = 0;
    --t.threads;
}

DWORD WINAPI DownloadThread(void* parameter) {
    Downloads& t = Table();
    Download& d = *static_cast<Download*>(parameter);
    // The handles are closed before the result goes, so a server never sees more downloads at
    // once than run.
    Fetch(t, d);
    Finish(t, d);
    return 0;
}

// Hands over the result of every download past its bound (of every download, once the process
// is ending); their threads close their handles and end once their wait, bounded by the same
// time, returns. Returns how long it may sleep.
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
        HandOver(t, d, true);
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
        d->status = 0;
        d->note = TitleFailureNote{TitleFailure::None, DownloadStep::Connecting, 0, 0};
        // Never 0, the context of the session's own callbacks.
        t.tickets = t.tickets + 1 != 0 ? t.tickets + 1 : 1;
        d->ticket = t.tickets;
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
        SetEvent(g_downloads->ending.get());
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
