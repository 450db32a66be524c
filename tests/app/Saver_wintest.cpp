// The history saver against the real main window: writes soon after a change, a file held or
// edited by another program, a save that cannot be made and where its history is kept, and the
// box that reports it.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "app/Saver_win.h"
#include "base/AppResources_win.h"
#include "base/ids.h"
#include "history/HistoryCodec.h"
#include "history/HistoryTestSeams.h"
#include "history/UnsavedHistory_win.h"
#include "history/HistoryStore.h"
#include "support/ClipboardAccess_win.h"
#include "support/HistoryFileWrite_win.h"
#include "support/MessageBoxHook_win.h"
#include "support/ShellSession_win.h"
#include "support/StoreBuilder.h"

namespace {

const char UnsavedBoxText[] = "履歴を保存できませんでした。次のファイルに残しました：\r\n";

// A change as the program makes one: inside a message of the main window.
void Change(HWND main, const char* content) {
    ASSERT_EQ(InsertAtTop(TheHistory(), content, EntryKind::Text, "title"), 1);
    SendMessageA(main, WM_NULL, 0, 0);
}

std::string ComposedHistory() {
    HistoryText text;
    EXPECT_EQ(EncodeStore(TheHistory(), text), 1);
    return std::string(text.data, text.size);
}

bool Holds(const std::string& path, const std::string& piece) {
    return ReadWholeFile(path).find(piece) != std::string::npos;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The capture ticks go on while a test waits for a write: nothing on the clipboard for them to take.
class Saver : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(PutClipboard(nullptr)); }
    void TearDown() override {
        HoldHistoryWrites(false);
        EndKeptNamesAt(0);
    }
};

} // namespace

TEST_F(Saver, AChangeIsWrittenSoonAndTheStoreAndListFontStay) {
    ShellSession session;
    HWND main = session.main();
    const std::string file = session.folder().File("CWHistry.txt");
    Change(main, "first change");
    EXPECT_TRUE(PumpUntil([&] { return Holds(file, "first change"); }));
    // A burst: the last change of it is written too, whatever the spacing made of the rest.
    for (const char* content : {"burst 1", "burst 2", "burst 3"}) {
        Change(main, content);
    }
    ASSERT_TRUE(PumpUntil([&] { return ReadWholeFile(file) == ComposedHistory(); }));
    // A title arriving later is a change too.
    ASSERT_EQ(SetEntryTitle(TheHistory(), TheHistory().serial[3], "a title that came later"), 1);
    SendMessageA(main, WM_NULL, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return Holds(file, "a title that came later"); }));
    EXPECT_EQ(TheHistory().count, 4);
    EXPECT_EQ(SendDlgItemMessageA(main, EntryList, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(AppResources().listFont));
    EXPECT_NE(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

// While another program holds the file, the writes fail; the end keeps the run's history byte for
// byte in the unsaved file. The user is told after a normal end, and not when the session ends or
// closes the program.
TEST_F(Saver, ABlockedSaveIsKeptAndReportedOnlyAtANormalEnd) {
    struct Route {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool windowGoes;
        bool told;
    };
    const Route routes[] = {
        {WM_CLOSE, 0, 0, true, true},
        {WM_ENDSESSION, TRUE, static_cast<LPARAM>(ENDSESSION_LOGOFF), false, false},
        {WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, true, false},
    };
    for (const Route& route : routes) {
        SCOPED_TRACE(route.lParam);
        ShellSession session([](const TempFolder& folder) {
            ASSERT_TRUE(WriteWholeFile(folder.File("CWHistry.txt"), WorkedExample(), FILE_ATTRIBUTE_HIDDEN));
        });
        HWND main = session.main();
        const std::string file = session.folder().File("CWHistry.txt");
        const std::string unsaved = session.folder().File("CWHistry.unsaved.txt");
        HeldFile holder(file, FILE_SHARE_READ);
        ASSERT_TRUE(holder.holding());
        Change(main, "captured while the file is held");
        const std::string history = ComposedHistory();

        MessageBoxAnswerer answerer({IDOK});
        SendMessageA(main, route.message, route.wParam, route.lParam);
        EXPECT_EQ(IsWindow(main) == FALSE, route.windowGoes);
        EXPECT_TRUE(answerer.seen().empty()) << "no box before the message loop has ended";
        EXPECT_EQ(ReadWholeFile(unsaved), history);
        EXPECT_EQ(ReadWholeFile(file), WorkedExample());
        EXPECT_EQ(GetFileAttributesA(unsaved.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);

        // What the run does once its message loop has ended.
        ReportUnsavedHistory();
        if (!route.told) {
            EXPECT_TRUE(answerer.seen().empty());
        } else {
            ASSERT_EQ(answerer.seen().size(), 1u);
            EXPECT_EQ(answerer.seen()[0].caption, "Clipwren");
            EXPECT_EQ(answerer.seen()[0].text, UnsavedBoxText + unsaved);
            EXPECT_EQ(answerer.seen()[0].owner, nullptr);
            ReportUnsavedHistory();
            EXPECT_EQ(answerer.seen().size(), 1u) << "told once";
        }
    }
}

// A write that outlives the end's wait (a disk that stops answering) is given up on: the end keeps
// the history in the unsaved file, and the writer, when it comes back at last, leaves that file
// alone although its own older text then reaches CWHistry.txt.
TEST_F(Saver, AWriterHeldPastTheWaitLeavesTheUnsavedFileAlone) {
    ShellSession session;
    HWND main = session.main();
    const std::string file = session.folder().File("CWHistry.txt");
    const std::string unsaved = session.folder().File("CWHistry.unsaved.txt");
    const std::string temp = session.folder().File(OwnTemporaryName().c_str());
    HoldHistoryWrites(true);
    Change(main, "written by the held writer");
    ASSERT_TRUE(PumpUntil([&] { return Exists(temp); }));
    Change(main, "only the end has this one");
    const std::string history = ComposedHistory();

    MessageBoxAnswerer answerer({IDOK});
    SendMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(ReadWholeFile(unsaved), history);
    HoldHistoryWrites(false);
    EXPECT_TRUE(PumpUntil([&] { return Holds(file, "written by the held writer"); }));
    EXPECT_TRUE(PumpUntil([&] { return !Exists(temp); }));
    EXPECT_EQ(ReadWholeFile(unsaved), history);
    ReportUnsavedHistory();
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].text, UnsavedBoxText + unsaved);
}

// A file held without sharing at start-up: the run's writes go to the unsaved file, never over
// the held one; once the holder lets go, the next write merges both histories into CWHistry.txt.
TEST_F(Saver, AFileHeldAtStartUpIsMergedOnceItIsFree) {
    std::unique_ptr<HeldFile> holder;
    ShellSession session([&](const TempFolder& folder) {
        ASSERT_TRUE(WriteWholeFile(folder.File("CWHistry.txt"), WorkedExample(), FILE_ATTRIBUTE_HIDDEN));
        holder.reset(new HeldFile(folder.File("CWHistry.txt"), 0));
    });
    ASSERT_TRUE(holder->holding());
    HWND main = session.main();
    const std::string file = session.folder().File("CWHistry.txt");
    const std::string unsaved = session.folder().File("CWHistry.unsaved.txt");
    EXPECT_EQ(TheHistory().count, 0);

    Change(main, "while the file is held");
    EXPECT_TRUE(PumpUntil([&] { return ReadWholeFile(unsaved) == ComposedHistory(); }));
    holder.reset();
    EXPECT_EQ(ReadWholeFile(file), WorkedExample());

    Change(main, "after the holder let go");
    EXPECT_TRUE(PumpUntil([&] { return !Exists(unsaved); }));
    ASSERT_EQ(TheHistory().count, 4);
    EXPECT_STREQ(TheHistory().content[0], "after the holder let go");
    EXPECT_STREQ(TheHistory().content[3], "http://sample.jp/");
    EXPECT_EQ(ReadWholeFile(file), ComposedHistory());
    EXPECT_FALSE(Exists(session.folder().File("CWHistry.kept.txt")));
}

// Another writer of the folder (a second session, a synced machine) rewrote the file while the
// program ran: its entries come in below the run's before the next write, and nothing is set
// aside, since none of them is lost.
TEST_F(Saver, AnotherWritersFileIsMergedBeforeTheNextWrite) {
    ShellSession session;
    HWND main = session.main();
    const std::string file = session.folder().File("CWHistry.txt");
    Change(main, "the run's first entry");
    ASSERT_TRUE(PumpUntil([&] { return Holds(file, "the run's first entry"); }));
    ASSERT_TRUE(WriteWholeFile(file, Record(0, "1", "other", "http://other.jp/"), FILE_ATTRIBUTE_HIDDEN));
    Change(main, "the run's second entry");
    EXPECT_TRUE(PumpUntil([&] { return Holds(file, "the run's second entry"); }));
    ASSERT_EQ(TheHistory().count, 3);
    EXPECT_STREQ(TheHistory().content[2], "http://other.jp/");
    EXPECT_EQ(ReadWholeFile(file), ComposedHistory());
    EXPECT_FALSE(Exists(session.folder().File("CWHistry.kept.txt")));
}

// With every kept name taken, a damaged file another writer left is replaced all the same, and
// the user is told once, in a box of its own, however often it happens.
TEST_F(Saver, KeptNamesRunningOutIsToldOnce) {
    ShellSession session([](const TempFolder& folder) { ASSERT_TRUE(TakeEveryKeptName(folder.path(), 20)); });
    HWND main = session.main();
    const std::string file = session.folder().File("CWHistry.txt");
    MessageBoxAnswerer answerer({IDOK});
    for (const char* entry : {"over the first damaged file", "over the second damaged file"}) {
        ASSERT_TRUE(WriteWholeFile(file, std::string("not a history file: ") + entry, FILE_ATTRIBUTE_HIDDEN));
        Change(main, entry);
        EXPECT_TRUE(PumpUntil([&] { return Holds(file, entry) && !answerer.seen().empty(); }));
    }
    const std::string history = ComposedHistory();
    SendMessageA(main, WM_CLOSE, 0, 0);
    ReportUnsavedHistory();
    EXPECT_EQ(ReadWholeFile(file), history);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].caption, "Clipwren");
    EXPECT_EQ(answerer.seen()[0].text,
              "CWHistry.kept-*.txt の名前がすべて使われているため、"
              "ほかから書き換えられた履歴を残さずに保存しました。古いファイルを削除してください。");
    EXPECT_EQ(answerer.seen()[0].owner, nullptr);
}

// A folder that refuses files (injected: root may write anywhere under Wine): the history is
// kept in the local application data, and the box names it.
TEST_F(Saver, AnUnwritableFolderKeepsTheHistoryInTheLocalApplicationData) {
    ShellSession session;
    HWND main = session.main();
    FailHistoryFileStep(HistoryFileStep::ReadOnlyFolder);
    Change(main, "nowhere to go beside the history");
    const std::string history = ComposedHistory();
    // Kept on the history's own schedule, so a crash now would lose nothing.
    EXPECT_TRUE(PumpUntil([&] { return ReadWholeFile(UnsavedHistoryPath()) == history; }));
    MessageBoxAnswerer answerer({IDOK});
    SendMessageA(main, WM_CLOSE, 0, 0);
    FailHistoryFileStep(HistoryFileStep::None);
    ReportUnsavedHistory();
    ASSERT_EQ(answerer.seen().size(), 1u);
    const std::string text = answerer.seen()[0].text;
    const std::string prefix = UnsavedBoxText + LocalAppDataFolder() + "\\Clipwren\\CWHistry.unsaved";
    EXPECT_EQ(text.compare(0, prefix.size(), prefix), 0) << text;
    const std::string kept = text.substr(std::string(UnsavedBoxText).size());
    EXPECT_EQ(ReadWholeFile(kept), history);
    DeleteFileA(kept.c_str());
    EXPECT_FALSE(Exists(session.folder().File("CWHistry.txt")));
}
