// A hidden window that receives page download results for the tests.
#include "support/PageTitleReceiver_win.h"

#include "base/UiTexts.h"
#include "base/ids.h"
#include "web/PageDownload_win.h"
#include "web/PageTitle_win.h"

PageTitleReceiver::PageTitleReceiver() {
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "ClipwrenTitleReceiver";
        atom = RegisterClassA(&windowClass);
    }
    window_ = CreateWindowExA(0, "ClipwrenTitleReceiver", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    AcceptPageTitles(window_, PageTitleMessage);
}

PageTitleReceiver::~PageTitleReceiver() {
    StopAcceptingPageTitles();
    DestroyWindow(window_);
    // Results posted before the door closed go with the window's queue; release them.
    MSG message;
    while (PeekMessageA(&message, nullptr, PageTitleMessage, PageTitleMessage, PM_REMOVE)) {
        ReleasePageTitleResult(reinterpret_cast<PageTitleResult*>(message.lParam));
    }
}

uint32_t PageTitleReceiver::Start(const std::string& url) {
    const uint32_t serial = nextSerial_++;
    started_[serial] = GetTickCount64();
    return StartPageDownload(serial, url.c_str()) ? serial : 0;
}

bool PageTitleReceiver::Wait(uint32_t serial, DWORD timeoutMs) {
    return PumpUntil([&] { return Arrived(serial); }, timeoutMs);
}

ReceivedTitle PageTitleReceiver::Fetch(const std::string& url) {
    const uint32_t serial = Start(url);
    if (serial == 0 || !Wait(serial)) {
        return ReceivedTitle{"(no result)", "", "", 0};
    }
    return Result(serial);
}

LRESULT CALLBACK PageTitleReceiver::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<PageTitleReceiver*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message != PageTitleMessage || !self) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    auto* result = reinterpret_cast<PageTitleResult*>(lParam);
    if (!result) {
        self->threadEndings_ += wParam == 0 ? 1 : 0;
        return 0;
    }
    ReceivedTitle received;
    char converted[ConvertedTitleBytes];
    received.title = ConvertPageTitle(*result, converted) == 1 ? converted : PageTitleFallback;
    received.raw = result->found == 1 ? result->title : "";
    received.option = result->option;
    received.elapsedMs = GetTickCount64() - self->started_[result->serial];
    self->results_[result->serial] = received;
    ReleasePageTitleResult(result);
    return 0;
}
