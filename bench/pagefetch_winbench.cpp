// Prints how long a captured URL keeps the window waiting for its title, against a loopback
// server: a normal page, a page whose head comes in small packets, a server that never answers
// and one that sends a byte a second.
#include "support/LoopbackHttpServer_win.h"
#include "web/PageTitle_win.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// Times runs captures of url and prints min, median and max.
void Report(const char* label, const std::string& url, int runs) {
    std::vector<double> times;
    std::string title;
    for (int i = 0; i < runs; ++i) {
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        QueryPerformanceCounter(&start);
        char* t = GetPageTitle(url.c_str());
        QueryPerformanceCounter(&end);
        // The fallback is Shift_JIS; name it rather than print bytes a UTF-8 terminal garbles.
        title = !t ? "(out of memory)" : std::strcmp(t, "ページタイトル不明") == 0 ? "(fallback)" : t;
        ReleasePageTitle(t);
        times.push_back(Milliseconds(start, end));
    }
    std::sort(times.begin(), times.end());
    std::printf("%-28s runs %3d  min %8.1f ms  median %8.1f ms  max %8.1f ms  title %s\n", label, runs,
                times.front(), times[times.size() / 2], times.back(), title.c_str());
}

} // namespace

int main() {
    LoopbackHttpServer server;
    if (!server.ok()) {
        std::fprintf(stderr, "cannot start the loopback server\n");
        return 1;
    }
    const std::string page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Bench News</title>"
                             "</head><body>" +
                             std::string(4000, '.') + "</body></html>";
    server.Serve("/page", HttpPage(200, page));
    server.Serve("/packets", InPackets(HttpPage(200, page), 64, 10));
    server.Serve("/silent", Silent());
    server.Serve("/trickle", InPackets(HttpPage(200, page), 1, 1000));

    std::printf("deadline %u ms\n", PageFetchDeadlineMs);
    Report("normal page", server.Url("/page"), 50);
    Report("head in 64-byte packets", server.Url("/packets"), 5);
    Report("silent server", server.Url("/silent"), 2);
    Report("trickling server (1 B/s)", server.Url("/trickle"), 2);
    return 0;
}
