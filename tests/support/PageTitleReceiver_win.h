// Page downloads for tests that run them without the main window: a hidden window of the test
// receives the results, as the main window would, and converts each title the program's way.
#pragma once

#include <windows.h>

#include "support/ShellSession_win.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>


struct ReceivedTitle {
    std::string title;     // converted, or the fallback
    std::string raw;       // the raw title bytes ("" when none was found)
    std::string option;    // the converter option the page's declaration chose
    ULONGLONG elapsedMs;   // from the start of the download to the arrival of its result
};

class PageTitleReceiver {
public:
    // Results of the downloads started from now on come to this receiver.
    PageTitleReceiver();
    // Stops accepting results; downloads still running drop theirs.
    ~PageTitleReceiver();
    PageTitleReceiver(const PageTitleReceiver&) = delete;
    PageTitleReceiver& operator=(const PageTitleReceiver&) = delete;

    // Starts a download and returns its serial, or 0 when it did not start.
    uint32_t Start(const std::string& url);
    // Pumps until the result for serial has arrived (at most timeoutMs); false when it did not.
    bool Wait(uint32_t serial, DWORD timeoutMs = 30000);
    bool Arrived(uint32_t serial) const { return results_.count(serial) != 0; }
    const ReceivedTitle& Result(uint32_t serial) { return results_[serial]; }
    // Messages that only said a download thread had ended.
    int ThreadEndings() const { return threadEndings_; }

    // Start, then Wait: the whole download as the window sees it.
    ReceivedTitle Fetch(const std::string& url);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    uint32_t nextSerial_ = 1;
    std::map<uint32_t, ULONGLONG> started_;
    std::map<uint32_t, ReceivedTitle> results_;
    int threadEndings_ = 0;
};
