// The request of one hop of a page download, and the private flags every hop carries.
#include "web/HttpRequest_win.h"

#include <cstring>
#include <initializer_list>

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

} // namespace

const char* ConnectUser(const RequestTarget& target) {
    return PassCredentials ? target.user : nullptr;
}

const char* ConnectPassword(const RequestTarget& target) {
    return PassCredentials ? target.password : nullptr;
}

// Bounds each WinINet operation too, to what is left of the download's bound. Set on every
// handle: Wine's requests do not take them over from the handles above.
void LimitOperations(const WinInetApi& api, HINTERNET handle, DWORD milliseconds) {
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        api.setOption(handle, option, &milliseconds, sizeof milliseconds);
    }
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
    // Every hop is fetched as privately as the first; https keeps WinINet's certificate checks.
    target.flags = FetchFlags | INTERNET_FLAG_NO_AUTO_REDIRECT |
                   (parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0);
    return true;
}

unsigned StatusOf(const WinInetApi& api, HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    return api.queryInfo(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ? status
                                                                                                            : 0;
}

bool LocationOf(const WinInetApi& api, HINTERNET request, char* location, DWORD capacity) {
    DWORD size = capacity - 1;
    if (!api.queryInfo(request, HTTP_QUERY_LOCATION, location, &size, nullptr)) {
        return false;
    }
    location[size < capacity ? size : capacity - 1] = '\0';
    return true;
}

