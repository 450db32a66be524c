// WinINet's functions, looked up once in the DLL loaded from the system folder.
#include "web/WinInet_win.h"

#include "base/SystemLibrary_win.h"

namespace {

WinInetApi g_api;
bool g_loaded = false;

template <typename Function> bool Find(HMODULE module, const char* name, Function& function) {
    FARPROC entry = GetProcAddress(module, name);
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(entry));
    return entry != nullptr;
}

} // namespace

const WinInetApi* LoadWinInet() {
    if (g_loaded) {
        return &g_api;
    }
    HMODULE module = LoadSystemLibrary("wininet.dll");
    if (!module) {
        return nullptr;
    }
    WinInetApi api = {};
    bool found = Find(module, "InternetOpenA", api.open) && Find(module, "InternetCrackUrlA", api.crackUrl) &&
                 Find(module, "InternetConnectA", api.connect) && Find(module, "HttpOpenRequestA", api.openRequest) &&
                 Find(module, "HttpSendRequestA", api.sendRequest) &&
                 Find(module, "InternetSetOptionA", api.setOption) && Find(module, "HttpQueryInfoA", api.queryInfo) &&
                 Find(module, "InternetQueryDataAvailable", api.queryDataAvailable) &&
                 Find(module, "InternetReadFileExA", api.readFileEx) &&
                 Find(module, "InternetSetStatusCallbackA", api.setStatusCallback) &&
                 Find(module, "InternetCloseHandle", api.closeHandle);
    if (!found) {
        return nullptr;
    }
    g_api = api;
    g_loaded = true;
    return &g_api;
}
