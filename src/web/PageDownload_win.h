// Page downloads beside the window. Each download runs on a thread of its own and hands its
// result to the window's thread in a posted message; a watchdog thread hands over the result of
// a download that reaches its bound, with what has arrived by then. The window's thread only
// starts downloads and receives results: it never waits on one.
//
// A download follows redirections itself (at most MaxRedirects hops, all within the one bound)
// and runs WinINet asynchronously: its thread waits for each pending call no longer than what is
// left of the bound, then closes its own handles and ends, so a thread given up at its bound is
// gone within moments of it and MaxDownloadThreads stays a bound that stuck servers never fill.
// Closing the request ends its pending call on Windows. Wine cannot end a call blocked in a
// read: a server that trickles its headers keeps a thread of Wine's own (not one of ours) and
// its connection until it lets go; the cap stays at eight of our threads, since those are what
// the program can bound. A call that blocks before it can go asynchronous (proxy detection in
// InternetOpen) is bounded by the watchdog's handover only; its thread ends when it returns.
#pragma once

#include <windows.h>

#include <cstdint>

#include "web/TitleExtract.h"
#include "web/TitleFailure.h"

// What a download hands over: the raw title bytes, cut from the page but not converted (the
// converter keeps its options per process, so it runs on the window's thread only).
struct PageTitleResult {
    uint32_t serial;         // the entry the download was started for
    int found;               // 1 when title holds a title cut from the page
    char option[4];          // converter option for the encoding the page declares
    char title[PageHeadBytes]; // zero-terminated
    TitleFailureNote note;   // why there is no title (TitleFailure::None when found is 1)
};

// From now on results go to window as `message` with wParam the serial and lParam a
// PageTitleResult* the receiver releases with ReleasePageTitleResult. A message with lParam 0
// hands over nothing: it says a download thread has ended, so that a waiting download may start.
// Downloads started before this call never post to window.
void AcceptPageTitles(HWND window, UINT message);
// From now on nothing is posted; results still to come are dropped where they are made.
void StopAcceptingPageTitles();

// Starts downloading the first kilobyte of url for the entry with this serial, on a thread of
// its own, and returns at once; the bound counts from here. WinINet is loaded the first time.
// False when nothing was started: MaxDownloadThreads threads are alive, WinINet cannot be
// loaded, the address is longer than any captured one, or no thread could be created.
bool StartPageDownload(uint32_t serial, const char* url);

// Downloads started whose result has not been handed over yet.
int PageDownloadsRunning();
// Download threads alive, those given up at their bound included.
int PageDownloadThreads();

void ReleasePageTitleResult(PageTitleResult* result);

// Ends the process with exitCode without waiting on the network. Every download is given up and
// the threads get half a second to end; when some are still blocked inside WinINet, the process
// is ended without the DLLs' detach, which could wait on them. Call it once the history is saved
// and the window is gone.
[[noreturn]] void ExitProcessBesideDownloads(UINT exitCode);
