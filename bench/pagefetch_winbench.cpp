// Prints how long a captured URL keeps the window waiting for its title, against a loopback
// server: a normal page, a page whose head comes in small packets, a server that never answers
// and one that sends a byte a second.
#include "support/LoopbackHttpServer_win.h"
#include "web/PageTitle_win.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "BenchSupport.h"

namespace {

// Times runs captures of url and prints min, median and max.
void Report(const char* label, const std::string& url, int runs) {
    Samples times;
    std::string title;
    for (int i = 0; i < runs; ++i) {
        Stopwatch watch;
        char* t = GetPageTitle(url.c_str());
        times.Add(watch.Microseconds() / 1000);
        // The fallback is Shift_JIS; name it rather than print bytes a UTF-8 terminal garbles.
        title = !t ? "(out of memory)" : std::strcmp(t, "ページタイトル不明") == 0 ? "(fallback)" : t;
        ReleasePageTitle(t);
    }
    std::printf("%-28s runs %3d  min %8.1f ms  median %8.1f ms  max %8.1f ms  title %s\n", label, runs,
                times.Best(), times.Median(), times.Worst(), title.c_str());
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
