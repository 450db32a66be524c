// Prints, against a loopback server, how long a download takes from its start until its title
// reaches the window's thread, and how long starting it keeps the caller: a normal page, a page
// whose head comes in small packets, a server that never answers and one that sends a byte a
// second.
#include "base/UiTexts.h"
#include "support/LoopbackHttpServer_win.h"
#include "support/PageTitleReceiver_win.h"
#include "web/PageTitle_win.h"

#include <cstdio>
#include <string>

#include "BenchSupport.h"

namespace {

void Report(PageTitleReceiver& receiver, const char* label, const std::string& url, int runs) {
    Samples arrival;
    Samples start;
    std::string title;
    for (int i = 0; i < runs; ++i) {
        Stopwatch watch;
        const uint32_t serial = receiver.Start(url);
        start.Add(watch.Microseconds() / 1000);
        if (serial == 0 || !receiver.Wait(serial)) {
            std::printf("%-28s no result\n", label);
            return;
        }
        arrival.Add(static_cast<double>(receiver.Result(serial).elapsedMs));
        // The fallback is Shift_JIS; name it rather than print bytes a UTF-8 terminal garbles.
        title = receiver.Result(serial).title == PageTitleFallback ? "(fallback)" : receiver.Result(serial).title;
    }
    std::printf("%-28s runs %3d  start median %6.2f ms max %6.2f ms  title after median %8.1f ms max %8.1f ms  %s\n",
                label, runs, start.Median(), start.Worst(), arrival.Median(), arrival.Worst(), title.c_str());
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

    PageTitleReceiver receiver;
    std::printf("bound %u ms\n", PageFetchDeadlineMs);
    Report(receiver, "normal page", server.Url("/page"), 50);
    Report(receiver, "head in 64-byte packets", server.Url("/packets"), 5);
    Report(receiver, "silent server", server.Url("/silent"), 2);
    Report(receiver, "trickling server (1 B/s)", server.Url("/trickle"), 2);
    return 0;
}
