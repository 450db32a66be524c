// Page titles (interim: every URL gets the fallback title until the download is connected).
#include "web/PageTitle_win.h"

#include <windows.h>

#include <cstring>

namespace {
const char FallbackTitle[] = "ページタイトル不明";
}

int FetchPageTitle(const char*, char*, int) { return 0; }

char* GetPageTitle(const char*) {
    char* title = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 1024));
    if (title) {
        std::memcpy(title, FallbackTitle, sizeof FallbackTitle);
    }
    return title;
}

void ReleasePageTitle(char* title) {
    if (title) {
        HeapFree(GetProcessHeap(), 0, title);
    }
}
