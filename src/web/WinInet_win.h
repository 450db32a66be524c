// WinINet, loaded at the first page download instead of imported: most of a short run never
// downloads anything, and importing it costs every start.
#pragma once

#include <windows.h>
#include <wininet.h>

// The functions of wininet.dll the downloads use.
struct WinInetApi {
    decltype(&InternetOpenA) open;
    decltype(&InternetCrackUrlA) crackUrl;
    decltype(&InternetConnectA) connect;
    decltype(&HttpOpenRequestA) openRequest;
    decltype(&HttpSendRequestA) sendRequest;
    decltype(&InternetSetOptionA) setOption;
    decltype(&HttpQueryInfoA) queryInfo;
    decltype(&InternetQueryDataAvailable) queryDataAvailable;
    decltype(&InternetReadFileExA) readFileEx;
    decltype(&InternetSetStatusCallbackA) setStatusCallback;
    decltype(&InternetCloseHandle) closeHandle;
};

// Loads wininet.dll from the system folder the first time it is called, and returns its
// functions from then on; null while it cannot be loaded (a later call tries again). Called on
// the window's thread before a download thread starts, so the threads only ever read the table.
// Once loaded, the DLL stays loaded.
const WinInetApi* LoadWinInet();
