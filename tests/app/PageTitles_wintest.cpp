// Page titles on the real main window: the entry first and its title later, entries that move or
// go while their page is on its way, bursts, stuck downloads and the end of the run. The
// loopback server holds its answers until the test releases them, so nothing here is timed.
#include "support/UiWindow_win.h"

#include "app/Capture_win.h"
#include "support/ClipboardAccess_win.h"
#include "support/DebugOutputReader_win.h"
#include "support/LoopbackHttpServer_win.h"
#include "support/MessageBoxHook_win.h"
#include "support/PageTitleReceiver_win.h"
#include "support/ScratchFolder_win.h"
#include "support/ShellSession_win.h"
#include "web/PageDownload_win.h"
#include "web/WebTestSeams.h"
#include "web/TitleQueue.h"

#include <memory>
#include <string>

namespace {

const char Fallback[] = "ページタイトル不明";
constexpr DWORD GuardMs = 30000;

std::string TitlePage(const std::string& title) {
    return "<html><head><title>" + title + "</title></head><body></body></html>";
}

class PageTitlesTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.ok());
        session = std::make_unique<ShellSession>();
        ASSERT_NE(session->main(), nullptr);
        KillTimer(main(), CaptureTimer);
    }
    void TearDown() override {
        session.reset();
        SetPageFetchDeadlineForTests(0);
        // Released, the held answers let every thread end before the next test.
        for (const std::string& path : held) {
            server.Release(path);
        }
        EXPECT_TRUE(PumpUntil([] { return PageDownloadThreads() == 0; }, GuardMs));
    }

    HWND main() const { return session->main(); }

    // The page at path answers only when released, with the title `title`.
    std::string HeldPage(const std::string& path, const std::string& title) {
        server.Serve(path, Held(HttpPage(200, TitlePage(title))));
        held.push_back(path);
        return server.Url(path);
    }
    void Release(const std::string& path) { server.Release(path); }

    // One capture of text, as the timer would run it; the timer stays stopped.
    void Capture(const std::string& text) {
        ASSERT_TRUE(PutClipboard(text.c_str()));
        ClipboardTick();
        KillTimer(main(), CaptureTimer);
    }

    // Serial of the live entry holding text; 0 when there is none.
    uint32_t SerialOf(const std::string& text) {
        const HistoryStore& store = TheHistory();
        for (int i = 0; i < store.count; ++i) {
            if (text == store.content[i]) {
                return store.serial[i];
            }
        }
        return 0;
    }
    std::string TitleOf(const std::string& text) {
        const HistoryStore& store = TheHistory();
        const int slot = FindSerial(store, SerialOf(text));
        return slot < 0 ? "(gone)" : store.title[slot];
    }
    bool Arrived(const std::string& path, int requests) {
        return PumpUntil([&] { return server.Requests(path) >= requests; }, GuardMs);
    }
    bool TitleBecomes(const std::string& text, const std::string& title) {
        return PumpUntil([&] { return TitleOf(text) == title; }, GuardMs);
    }

    LoopbackHttpServer server;
    std::vector<std::string> held;
    std::unique_ptr<ShellSession> session;
};

TEST_F(PageTitlesTest, TheEntryComesFirstAndItsTitleFollows) {
    const std::string page = HeldPage("/held", "Held Page");
    ViewState& view = TheView();
    view.refreshPending = 0;
    Capture(page);
    ASSERT_EQ(TheHistory().count, 1);
    EXPECT_STREQ(TheHistory().content[0], page.c_str());
    EXPECT_STREQ(TheHistory().title[0], Fallback);
    EXPECT_EQ(view.refreshPending, 1);

    ASSERT_TRUE(Arrived("/held", 1));
    PumpPendingMessages();
    EXPECT_STREQ(TheHistory().title[0], Fallback) << "a title arrived while the server still held it";
    view.refreshPending = 0;
    const uint32_t revision = TheHistory().revision;

    Release("/held");
    ASSERT_TRUE(TitleBecomes(page, "Held Page"));
    EXPECT_EQ(view.refreshPending, 1);
    EXPECT_NE(TheHistory().revision, revision);
    EXPECT_EQ(server.Requests("/held"), 1);
}

// The address goes out with its bytes from 0x80 up percent-encoded: the same request whatever
// code page the system would read them in. The entry keeps the address as it was copied.
TEST_F(PageTitlesTest, HighBytesOfTheAddressArePercentEncoded) {
    server.Serve("/%B1%83A", HttpPage(200, TitlePage("Kana")));
    const std::string page = server.Url("/ｱア");
    Capture(page);
    ASSERT_TRUE(TitleBecomes(page, "Kana"));
    EXPECT_EQ(server.Requests("/%B1%83A"), 1);
}

TEST_F(PageTitlesTest, CopiedAgainWhileFetchedItIsADuplicate) {
    const std::string page = HeldPage("/twice", "Twice");
    Capture(page);
    ASSERT_TRUE(Arrived("/twice", 1));
    Capture("http://127.0.0.1:1/other");
    Capture(page);
    EXPECT_EQ(TheHistory().count, 2);
    Release("/twice");
    ASSERT_TRUE(TitleBecomes(page, "Twice"));
    EXPECT_EQ(server.Requests("/twice"), 1);
}

TEST_F(PageTitlesTest, APromotedEntryGetsItsTitleAndIsNotFetchedAgain) {
    const std::string page = HeldPage("/moving", "Moving Page");
    Capture(page);
    ASSERT_TRUE(Arrived("/moving", 1));
    // A closed port: these downloads fail at once and leave their fallback.
    for (int i = 0; i < 5; ++i) {
        Capture("http://127.0.0.1:1/" + std::to_string(i) + "x");
    }
    ASSERT_STREQ(TheHistory().content[5], page.c_str());
    Capture(page);
    ASSERT_STREQ(TheHistory().content[0], page.c_str());

    Release("/moving");
    ASSERT_TRUE(TitleBecomes(page, "Moving Page"));
    EXPECT_STREQ(TheHistory().title[0], "Moving Page");
    EXPECT_EQ(server.Requests("/moving"), 1);
    for (int i = 1; i < 6; ++i) {
        EXPECT_STREQ(TheHistory().title[i], Fallback);
    }
}

// Four downloads held, two more waiting; entries deleted by each of the three deletions, while
// running and while waiting. A waiting one that was deleted never reaches the server.
TEST_F(PageTitlesTest, DeletedEntriesDropTheirTitles) {
    const char* names[] = {"a", "b", "c", "d", "e", "f"};
    for (const char* name : names) {
        Capture(HeldPage(std::string("/") + name, std::string("Title ") + name));
    }
    ASSERT_TRUE(PumpUntil([&] { return server.Requests("/d") == 1; }, GuardMs));
    EXPECT_EQ(PageDownloadsRunning(), MaxRunningDownloads);

    HWND list = GetDlgItem(main(), EntryList);
    SendMessageA(GetDlgItem(main(), UrlTitleButton), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(main(), ListDisplayCheck), BM_CLICK, 0, 0);
    ASSERT_EQ(RowsOf(list), 6); // f e d c b a
    auto notify = [&](UINT code, int row) {
        NMITEMACTIVATE note = RowNote(row);
        note.hdr.code = code;
        SendMessageA(main(), WM_NOTIFY, EntryList, reinterpret_cast<LPARAM>(&note));
    };
    {
        // e is still waiting.
        MessageBoxAnswerer boxes({IDYES});
        MenuDriver driver(DeleteOneItem);
        notify(NM_RCLICK, 1);
    }
    ASSERT_EQ(RowsOf(list), 5); // f d c b a
    // The activation that follows the closed question rebuilds the list; then the check mark.
    PumpPendingMessages();
    CheckRow(list, 2); // c, running
    {
        MessageBoxAnswerer boxes({IDYES});
        MenuDriver driver(DeleteCheckedItem);
        notify(NM_RCLICK, 1);
    }
    ASSERT_EQ(RowsOf(list), 4);
    {
        // d, b and a, running; f stays.
        MessageBoxAnswerer boxes({IDYES});
        SendMessageA(main(), WM_COMMAND, MAKEWPARAM(DeleteAllCommand, 0), 0);
    }
    ASSERT_EQ(TheHistory().count, 1);

    for (const char* name : names) {
        Release(std::string("/") + name);
    }
    const std::string newest = server.Url("/f");
    ASSERT_TRUE(TitleBecomes(newest, "Title f"));
    ASSERT_TRUE(PumpUntil([] { return PageDownloadsRunning() == 0; }, GuardMs));
    PumpPendingMessages();
    EXPECT_EQ(TheHistory().count, 1);
    EXPECT_EQ(server.Requests("/e"), 0);
    for (const char* name : {"a", "b", "c", "d", "f"}) {
        EXPECT_EQ(server.Requests(std::string("/") + name), 1) << name;
    }
}

TEST_F(PageTitlesTest, ABurstRunsFourAtATimeInCopyOrder) {
    constexpr int Burst = 10;
    for (int i = 0; i < Burst; ++i) {
        Capture(HeldPage("/burst" + std::to_string(i) + "/", "Burst " + std::to_string(i)));
    }
    // The first four run side by side, so they may reach the server in any order.
    for (int i = 0; i < MaxRunningDownloads; ++i) {
        ASSERT_TRUE(Arrived("/burst" + std::to_string(i) + "/", 1)) << i;
    }
    PumpPendingMessages();
    for (int i = 0; i < Burst; ++i) {
        EXPECT_EQ(server.Requests("/burst" + std::to_string(i) + "/"), i < MaxRunningDownloads ? 1 : 0) << i;
    }
    for (int i = 0; i < Burst; ++i) {
        Release("/burst" + std::to_string(i) + "/");
    }
    for (int i = 0; i < Burst; ++i) {
        const std::string n = std::to_string(i);
        EXPECT_TRUE(TitleBecomes(server.Url("/burst" + n + "/"), "Burst " + n)) << i;
    }
    EXPECT_EQ(server.PeakRequestsInService(), MaxRunningDownloads);
}

// Downloads given up at their bound on servers that never let go: their threads end soon after
// their bound, so the downloads after them start without waiting for those servers, and no more
// than eight threads ever live.
TEST_F(PageTitlesTest, StuckDownloadsEndAndTheNextOnesStart) {
    // Bytes every 100 ms keep a 1-second receive time-out from ever tripping.
    SetPageFetchDeadlineForTests(1000);
    constexpr int Count = MaxDownloadThreads + 2;
    for (int i = 0; i < Count; ++i) {
        const std::string path = "/stuck" + std::to_string(i) + "/";
        server.Serve(path, Stalled(HttpPage(200, TitlePage("Stuck " + std::to_string(i)))));
        held.push_back(path);
        Capture(server.Url(path));
    }
    int peakThreads = 0;
    ASSERT_TRUE(PumpUntil(
        [&] {
            peakThreads = PageDownloadThreads() > peakThreads ? PageDownloadThreads() : peakThreads;
            return server.Requests("/stuck9/") == 1 && PageDownloadsRunning() == 0;
        },
        GuardMs));
    EXPECT_LE(peakThreads, MaxDownloadThreads);
    for (int i = 0; i < Count; ++i) {
        EXPECT_EQ(TitleOf(server.Url("/stuck" + std::to_string(i) + "/")), Fallback) << i;
    }
}

// Closed while a download is stuck: the file keeps the fallback, and the title that arrives
// after the window has gone touches nothing.
TEST_F(PageTitlesTest, TheEndWithADownloadStuck) {
    const std::string page = HeldPage("/late", "Too Late");
    Capture(page);
    ASSERT_TRUE(Arrived("/late", 1));
    const std::string file = session->folder().File("CWHistry.txt");
    SendMessageA(main(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(main()));
    EXPECT_EQ(PageDownloadThreads(), 1);
    const std::string saved = ReadWholeFile(file);
    EXPECT_NE(saved.find(Record(0, "1", Fallback, page)), std::string::npos) << saved;

    Release("/late");
    ASSERT_TRUE(PumpUntil([] { return PageDownloadThreads() == 0; }, GuardMs));
    PumpPendingMessages();
    EXPECT_EQ(ReadWholeFile(file), saved);
    EXPECT_EQ(TheHistory().count, 0);
}

// A log-off saves the fallback that is there; a process that outlives it still takes the title
// that was on its way, and titles and saves what is copied later.
TEST_F(PageTitlesTest, TitlesGoOnAfterASessionEndTheProcessOutlives) {
    const std::string page = HeldPage("/session", "Session");
    Capture(page);
    ASSERT_TRUE(Arrived("/session", 1));
    SendMessageA(main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    const std::string file = session->folder().File("CWHistry.txt");
    auto saved = [&](const std::string& piece) { return ReadWholeFile(file).find(piece) != std::string::npos; };
    EXPECT_TRUE(saved(Fallback));
    Release("/session");
    EXPECT_TRUE(PumpUntil([&] { return saved("Session"); }, GuardMs));

    server.Serve("/later", HttpPage(200, TitlePage("Copied Later")));
    Capture(server.Url("/later"));
    EXPECT_TRUE(PumpUntil([&] { return saved("Copied Later"); }, GuardMs));
    EXPECT_EQ(TitleOf(page), "Session");
}

} // namespace

// Each title that falls back leaves one debug line with its reason, naming the entry's serial and
// never its address; a title that arrives leaves none.
TEST_F(PageTitlesTest, EachFallbackLeavesOneDebugLineWithItsReason) {
    DebugOutputReader reader;
    ASSERT_TRUE(reader.ok());
    SetPageFetchDeadlineForTests(1000);
    server.Serve("/loop", HttpRedirect("/loop"));
    server.Serve("/untitled", HttpPage(404, "<html><body>no title</body></html>"));
    server.Serve("/emoji", HttpPage(200, u8"<title>\U0001F600</title>"));
    server.Serve("/silent", Silent());
    server.Serve("/titled", HttpPage(200, TitlePage("Has A Title")));
    struct Case {
        std::string url;
        const char* reason;
    };
    const Case cases[] = {
        {server.Url("/loop"), ": redirect loop\n"},
        {server.Url("/untitled"), ": no title in the first kilobyte (HTTP status 404)"},
        {server.Url("/emoji"), ": the title converted to nothing"},
        {server.Url("/silent"), ": timed out while waiting for the answer"},
        {"http://127.0.0.1:" + std::to_string(ClosedLoopbackPort()) + "/refused", ": WinINet error 12029 while waiting"},
    };
    for (const Case& c : cases) {
        Capture(c.url);
    }
    Capture(server.Url("/titled"));
    for (const Case& c : cases) {
        const std::string entry = "Clipwren: entry " + std::to_string(SerialOf(c.url)) + " keeps the fallback title";
        ASSERT_TRUE(PumpUntil([&] { return !reader.LinesWith(entry + ":").empty(); }, GuardMs)) << c.url;
        const std::vector<std::string> lines = reader.LinesWith(entry + ":");
        ASSERT_EQ(lines.size(), 1u) << c.url;
        EXPECT_NE(lines[0].find(c.reason), std::string::npos) << lines[0];
    }
    ASSERT_TRUE(PumpUntil([&] { return TitleOf(server.Url("/titled")) == "Has A Title"; }, GuardMs));
    EXPECT_TRUE(reader.LinesWith("entry " + std::to_string(SerialOf(server.Url("/titled"))) + " ").empty());
    for (const std::string& line : reader.Lines()) {
        EXPECT_EQ(line.find("127.0.0.1"), std::string::npos) << line;
        EXPECT_EQ(line.find("/loop"), std::string::npos) << line;
    }
}
