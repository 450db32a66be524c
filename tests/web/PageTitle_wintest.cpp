// Page titles through WinINet against a loopback server: encodings, error pages, redirections,
// and the deadline against servers that answer slowly or never.
#include "support/LoopbackHttpServer_win.h"
#include "web/PageFetchDeadline_win.h"
#include "web/PageTitle_win.h"

#include "Nkf32Exports_win.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char Fallback[] = "ページタイトル不明";

// "ニュース一覧：表示テスト" in each encoding a page may use.
const char TitleShiftJis[] = "ニュース一覧：表示テスト";
const char TitleUtf8[] = u8"ニュース一覧：表示テスト";
const char TitleEucJp[] = "\xa5\xcb\xa5\xe5\xa1\xbc\xa5\xb9\xb0\xec\xcd\xf7\xa1\xa7\xc9\xbd\xbc\xa8"
                          "\xa5\xc6\xa5\xb9\xa5\xc8";
const char TitleIso2022Jp[] = "\x1b\x24\x42\x25\x4b\x25\x65\x21\x3c\x25\x39\x30\x6c\x4d\x77\x21\x27"
                              "\x49\x3d\x3c\x28\x25\x46\x25\x39\x25\x48\x1b\x28\x42";

// Generous: proves a download is bounded without timing it.
constexpr ULONGLONG BoundMs = 15000;

std::string Page(const std::string& title, const std::string& charset = "utf-8") {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"" + charset + "\">\n<title>" + title +
           "</title>\n</head><body><p>text</p></body></html>\n";
}

struct TitleResult {
    std::string title;
    ULONGLONG elapsedMs;
};

TitleResult TitleOf(const std::string& url) {
    ULONGLONG start = GetTickCount64();
    char* title = GetPageTitle(url.c_str());
    TitleResult result{title ? title : "(null)", GetTickCount64() - start};
    ReleasePageTitle(title);
    return result;
}

std::string RawTitleOf(const std::string& url, int capacity = 1023) {
    char destination[1024] = {};
    int n = FetchPageTitle(url.c_str(), destination, capacity);
    EXPECT_EQ(n, static_cast<int>(std::string(destination).size()));
    return destination;
}

// A port on which nothing listens: bound, then closed again.
int ClosedPort() {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    closesocket(s);
    return ntohs(address.sin_port);
}

struct ShortDeadline {
    explicit ShortDeadline(unsigned ms) { SetPageFetchDeadlineForTests(ms); }
    ~ShortDeadline() { SetPageFetchDeadlineForTests(0); }
};

class PageTitle : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.ok()); }
    LoopbackHttpServer server;
};

} // namespace

TEST_F(PageTitle, RawTitleIsCutByteForByteInEveryEncoding) {
    server.Serve("/sjis", HttpPage(200, Page(TitleShiftJis, "shift_jis")));
    server.Serve("/utf8", HttpPage(200, Page(TitleUtf8)));
    server.Serve("/euc", HttpPage(200, Page(TitleEucJp, "euc-jp")));
    server.Serve("/jis", HttpPage(200, Page(TitleIso2022Jp, "iso-2022-jp")));
    EXPECT_EQ(RawTitleOf(server.Url("/sjis")), TitleShiftJis);
    EXPECT_EQ(RawTitleOf(server.Url("/utf8")), TitleUtf8);
    EXPECT_EQ(RawTitleOf(server.Url("/euc")), TitleEucJp);
    EXPECT_EQ(RawTitleOf(server.Url("/jis")), TitleIso2022Jp);
}

TEST_F(PageTitle, TitlesInEveryEncodingAreConverted) {
    server.Serve("/sjis", HttpPage(200, Page(TitleShiftJis, "shift_jis")));
    server.Serve("/utf8", HttpPage(200, Page(TitleUtf8)));
    server.Serve("/euc", HttpPage(200, Page(TitleEucJp, "euc-jp")));
    server.Serve("/jis", HttpPage(200, Page(TitleIso2022Jp, "iso-2022-jp")));
    server.Serve("/ascii", HttpPage(200, Page("Plain News")));
    for (const char* path : {"/sjis", "/utf8", "/euc", "/jis"}) {
        EXPECT_EQ(TitleOf(server.Url(path)).title, TitleShiftJis) << path;
    }
    EXPECT_EQ(TitleOf(server.Url("/ascii")).title, "Plain News");
}

TEST_F(PageTitle, ConversionOptionIsSetForEveryTitle) {
    server.Serve("/utf8", HttpPage(200, Page(TitleUtf8)));
    // Another caller of the library asked for EUC-JP input; the title must still be read as
    // what it is.
    SetNkfOption("E");
    EXPECT_EQ(TitleOf(server.Url("/utf8")).title, TitleShiftJis);
}

TEST_F(PageTitle, TitleThatConvertsToNothingGetsTheFallback) {
    // Emoji have no Shift_JIS form; a lone ISO-2022-JP escape holds no character at all.
    server.Serve("/emoji", HttpPage(200, Page(u8"\U0001F600\U0001F389")));
    server.Serve("/escape", HttpPage(200, Page("\x1b(B")));
    server.Serve("/mixed", HttpPage(200, Page(u8"News \U0001F600")));
    EXPECT_EQ(TitleOf(server.Url("/emoji")).title, Fallback);
    EXPECT_EQ(TitleOf(server.Url("/escape")).title, Fallback);
    EXPECT_EQ(TitleOf(server.Url("/mixed")).title, "News ");
}

TEST_F(PageTitle, ErrorPageTitleIsTheTitle) {
    server.Serve("/missing", HttpPage(404, Page("Not Found Here")));
    server.Serve("/broken", HttpPage(500, "<html><head><TITLE>Server Error</TITLE></head></html>"));
    EXPECT_EQ(TitleOf(server.Url("/missing")).title, "Not Found Here");
    EXPECT_EQ(TitleOf(server.Url("/broken")).title, "Server Error");
}

TEST_F(PageTitle, PagesWithoutUsableTitleGetTheFallback) {
    server.Serve("/none", HttpPage(200, "<html><head></head><body>no title</body></html>"));
    server.Serve("/empty", HttpPage(200, Page("")));
    server.Serve("/late", HttpPage(200, std::string(1100, ' ') + Page("Too Late")));
    server.Serve("/attr", HttpPage(200, "<title lang=\"en\">Attributed</title>"));
    server.Serve("/blank", HttpPage(200, ""));
    for (const char* path : {"/none", "/empty", "/late", "/attr", "/blank", "/unknown"}) {
        EXPECT_EQ(TitleOf(server.Url(path)).title, Fallback) << path;
    }
}

TEST_F(PageTitle, SpacesAndLineBreaksAreKept) {
    server.Serve("/spaced", HttpPage(200, Page("\r\n  Spaced  Title \r\n")));
    EXPECT_EQ(TitleOf(server.Url("/spaced")).title, "\r\n  Spaced  Title \r\n");
}

TEST_F(PageTitle, CapacityBoundsTheRawTitle) {
    server.Serve("/long", HttpPage(200, Page("0123456789")));
    EXPECT_EQ(RawTitleOf(server.Url("/long"), 5), "0123");
}

TEST_F(PageTitle, RedirectionsAreFollowed) {
    server.Serve("/old", HttpRedirect("/moved"));
    server.Serve("/moved", HttpRedirect(server.Url("/new")));
    server.Serve("/new", HttpPage(200, Page("Arrived")));
    EXPECT_EQ(TitleOf(server.Url("/old")).title, "Arrived");
    EXPECT_EQ(server.Requests("/new"), 1);
}

TEST_F(PageTitle, HeadInSeveralSmallPacketsYieldsItsTitle) {
    // The title lies near the end of the first kilobyte, many packets into the body.
    std::string body = "<html><head>" + std::string(900, ' ') + "<title>Packets</title>" +
                       std::string(4000, ' ') + "</head></html>";
    server.Serve("/packets", InPackets(HttpPage(200, body), 64, 20));
    EXPECT_EQ(TitleOf(server.Url("/packets")).title, "Packets");
}

TEST_F(PageTitle, ClosedPortGivesTheFallbackAtOnce) {
    TitleResult result = TitleOf("http://127.0.0.1:" + std::to_string(ClosedPort()) + "/");
    EXPECT_EQ(result.title, Fallback);
    EXPECT_LT(result.elapsedMs, BoundMs);
}

TEST_F(PageTitle, UnresolvableHostGivesTheFallback) {
    TitleResult result = TitleOf("http://no-such-host.invalid/");
    EXPECT_EQ(result.title, Fallback);
    EXPECT_LT(result.elapsedMs, BoundMs);
}

TEST_F(PageTitle, SilentServerEndsWithinTheBound) {
    server.Serve("/silent", Silent());
    TitleResult result = TitleOf(server.Url("/silent"));
    EXPECT_EQ(result.title, Fallback);
    EXPECT_LT(result.elapsedMs, BoundMs);
    EXPECT_EQ(server.Requests("/silent"), 1);
}

TEST_F(PageTitle, TricklingServerEndsWithinTheBound) {
    server.Serve("/trickle", InPackets(HttpPage(200, Page("Never Complete")), 1, 1000));
    TitleResult result = TitleOf(server.Url("/trickle"));
    EXPECT_EQ(result.title, Fallback);
    EXPECT_LT(result.elapsedMs, BoundMs);
}

TEST_F(PageTitle, AtTheDeadlineTheTitleIsCutFromWhatArrived) {
    ShortDeadline deadline(2500);
    // Head and title arrive within about a second; the rest of the body would take minutes.
    std::string body = "<title>Arrived In Time</title>" + std::string(20000, '.');
    server.Serve("/slow", InPackets(HttpPage(200, body), 4, 20));
    TitleResult result = TitleOf(server.Url("/slow"));
    EXPECT_EQ(result.title, "Arrived In Time");
    EXPECT_LT(result.elapsedMs, BoundMs);
}

TEST_F(PageTitle, AbandonedDownloadDoesNotDisturbTheNext) {
    ShortDeadline deadline(300);
    server.Serve("/silent", Silent());
    server.Serve("/trickle", InPackets(HttpPage(200, Page("Slow")), 1, 200));
    server.Serve("/page", HttpPage(200, Page("Next Page")));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(TitleOf(server.Url("/silent")).title, Fallback);
        EXPECT_EQ(TitleOf(server.Url("/trickle")).title, Fallback);
    }
    SetPageFetchDeadlineForTests(0);
    EXPECT_EQ(TitleOf(server.Url("/page")).title, "Next Page");
}

// Windows cancels a blocked WinINet call when its handle is closed; Wine lets it run until the
// server lets go. Either way the download thread ends on its own, after its caller returned,
// and cleans up the record they shared.
TEST(PageTitleDeadline, DownloadsGivenUpAtTheDeadlineEndOnTheirOwn) {
    ShortDeadline deadline(300);
    {
        LoopbackHttpServer server;
        ASSERT_TRUE(server.ok());
        server.Serve("/silent", Silent());
        server.Serve("/trickle", InPackets(HttpPage(200, Page("Slow")), 1, 1000));
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(TitleOf(server.Url("/silent")).title, Fallback);
            EXPECT_EQ(TitleOf(server.Url("/trickle")).title, Fallback);
        }
    }
    ULONGLONG start = GetTickCount64();
    while (PageDownloadsRunningForTests() > 0 && GetTickCount64() - start < BoundMs) {
        Sleep(20);
    }
    EXPECT_EQ(PageDownloadsRunningForTests(), 0);
}
