// One request of a page download: where an address sends it and with which flags, the
// per-operation time-outs, and what the answer's headers say. Calls only on handles of the
// download that makes them, from its own thread.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstddef>

#include "web/WinInet_win.h"

// Longer than any captured text with every byte percent-encoded (three bytes each), terminating
// zero included.
constexpr size_t UrlBytes = 3 * 1024;

// Where a request goes, from the parts of the address WinINet cracks it into.
struct RequestTarget {
    char host[INTERNET_MAX_HOST_NAME_LENGTH + 1];
    char user[UrlBytes];
    char password[UrlBytes];
    char object[UrlBytes + 1]; // path and query; a fragment is never sent
    INTERNET_PORT port;
    DWORD flags;
};

// Takes url apart for its request: false for anything but an http or https address, or a part
// too long. The flags are the private ones, no automatic redirection, and INTERNET_FLAG_SECURE
// for https.
bool CrackAddress(const WinInetApi& api, const char* url, RequestTarget& target);
// The user name and password to hand to InternetConnect: none, but in the privacy tests' control
// build.
const char* ConnectUser(const RequestTarget& target);
const char* ConnectPassword(const RequestTarget& target);

// Sets the connect, send and receive time-outs of handle to milliseconds.
void LimitOperations(const WinInetApi& api, HINTERNET handle, DWORD milliseconds);

// The answer's HTTP status; 0 when there is none.
unsigned StatusOf(const WinInetApi& api, HINTERNET request);
// The answer's Location into location (capacity bytes); false when it has none that fits.
bool LocationOf(const WinInetApi& api, HINTERNET request, char* location, DWORD capacity);
