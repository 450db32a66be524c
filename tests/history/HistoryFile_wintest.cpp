// The history file on a real file system: loading, the hidden attribute, safe replacement when a
// step fails or another program holds the file, the keeping of a file that could not be read or
// changed behind the run's back, the unsaved file, and the VirtualStore copy. Each test runs in
// a fresh folder that is the current directory.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "history/HistoryCodec.h"
#include "history/HistoryTestSeams.h"
#include "history/HistoryFile_win.h"
#include "history/UnsavedHistory_win.h"
#include "support/HistoryFileWrite_win.h"
#include "support/ScratchFolder_win.h"
#include "support/StoreBuilder.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

const std::string& WorkedExample = ::WorkedExample();

class HistoryFile : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.entered());
        std::memset(&store, 0, sizeof store);
    }

    // The scratch folder itself goes with its files when the fixture is destroyed.
    void TearDown() override {
        FailHistoryFileStep(HistoryFileStep::None);
        EndKeptNamesAt(0);
        SaveHistoryIgnored();
        SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    // Ends a run whose result the test does not look at, without touching the folder's files.
    void SaveHistoryIgnored() { ReleaseStoreStrings(store); }

    std::string PathOf(const char* name) const { return folder + "\\" + name; }

    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) {
            return names;
        }
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
        return names;
    }

    void WriteFileBytes(const char* name, const std::string& bytes,
                        DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        ASSERT_TRUE(WriteWholeFile(PathOf(name), bytes, attributes));
    }

    // Sharing with readers only: a file that a save left open for writing does not read.
    std::string ReadFileBytes(const char* name) const { return ReadWholeFile(PathOf(name), FILE_SHARE_READ); }

    DWORD Attributes(const char* name) const { return GetFileAttributesA(PathOf(name).c_str()); }

    std::vector<std::string> SortedFiles() const {
        std::vector<std::string> files = Files();
        std::sort(files.begin(), files.end());
        return files;
    }

    std::string Composed() {
        HistoryText text;
        EXPECT_EQ(EncodeStore(store, text), 1);
        return std::string(text.data, text.size);
    }

    static int IgnoringCase(const char* a, const char* b) { return lstrcmpiA(a, b); }

    // Another program that lets go of the file a moment after the save has begun.
    static DWORD WINAPI LetGoSoon(void* held) {
        Sleep(300);
        static_cast<HeldFile*>(held)->LetGo();
        return 0;
    }

    void Insert(const char* content) { ASSERT_EQ(InsertAtTop(store, content, EntryKind::Text, "title"), 1); }

    // A run that found the two-entry example file and captured one entry of its own.
    void StartRunOverWorkedExample(DWORD attributes = FILE_ATTRIBUTE_HIDDEN) {
        WriteFileBytes("CWHistry.txt", WorkedExample, attributes);
        LoadHistory(store);
        Insert("this run's entry");
    }

    ScratchDirectory scratch;
    const std::string folder = scratch.path();
    HistoryStore store;
};

TEST_F(HistoryFile, MissingFileIsAnEmptyHistory) {
    LoadHistory(store);
    EXPECT_EQ(store.count, 0);
    EXPECT_EQ(store.ownedStrings, 0);

    SaveHistory(store);
    EXPECT_EQ(store.count, 0);
    EXPECT_EQ(store.ownedStrings, 0);
    // An empty history is an empty, hidden file.
    EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), "");
    EXPECT_NE(Attributes("CWHistry.txt") & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST_F(HistoryFile, WorkedExampleLoadsAndSavesByteForByte) {
    WriteFileBytes("CWHistry.txt", WorkedExample, FILE_ATTRIBUTE_HIDDEN);
    LoadHistory(store);
    ASSERT_EQ(store.count, 2);
    EXPECT_STREQ(EntryAt(store, 0).content, "memo line 1\r\nmemo line 2");
    EXPECT_STREQ(EntryAt(store, 1).title, "Sample Page");
    SaveHistory(store);
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), WorkedExample);
    EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
}

TEST_F(HistoryFile, ASavedFileIsHiddenWhateverTheOldOneWas) {
    WriteFileBytes("CWHistry.txt", WorkedExample, FILE_ATTRIBUTE_NORMAL);
    LoadHistory(store);
    Insert("new entry");
    SaveHistory(store);
    EXPECT_NE(Attributes("CWHistry.txt") & FILE_ATTRIBUTE_HIDDEN, 0u);
    HistoryStore again{};
    LoadHistory(again);
    ASSERT_EQ(again.count, 3);
    EXPECT_STREQ(EntryAt(again, 0).content, "new entry");
    SaveHistory(again);
}

TEST_F(HistoryFile, EachFailingStepLeavesTheOldFileAndNoTemporaryFile) {
    const HistoryFileStep steps[] = {HistoryFileStep::CreateTemp, HistoryFileStep::Write,
                                     HistoryFileStep::Flush, HistoryFileStep::Move};
    for (HistoryFileStep step : steps) {
        SCOPED_TRACE(static_cast<int>(step));
        StartRunOverWorkedExample();
        FailHistoryFileStep(step);
        EXPECT_EQ(WriteHistoryFile(store), 0);
        SaveHistory(store); // releases the store all the same
        FailHistoryFileStep(HistoryFileStep::None);
        EXPECT_EQ(store.ownedStrings, 0);
        EXPECT_EQ(ReadFileBytes("CWHistry.txt"), WorkedExample);
        EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
    }
}

// A save while another program holds the file fails after trying for about a second; the file
// stays as it was, and the text is kept whole in a visible unsaved file until a later save
// goes through and makes it redundant.
TEST_F(HistoryFile, SavingOverALockedFileKeepsIt) {
    StartRunOverWorkedExample();
    HeldFile holder(PathOf("CWHistry.txt"), FILE_SHARE_READ);
    ASSERT_TRUE(holder.holding());
    HistoryText text;
    ASSERT_EQ(EncodeStore(store, text), 1);
    EXPECT_EQ(WriteHistoryText(text), HistoryWrite::Failed);
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), WorkedExample);
    EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});

    ASSERT_EQ(KeepUnsavedHistory(text), 1);
    EXPECT_EQ(UnsavedHistoryPath(), PathOf("CWHistry.unsaved.txt"));
    EXPECT_EQ(ReadFileBytes("CWHistry.unsaved.txt"), std::string(text.data, text.size));
    EXPECT_EQ(Attributes("CWHistry.unsaved.txt") & FILE_ATTRIBUTE_HIDDEN, 0u);
    holder.LetGo();

    // Once the other program lets go, the next save goes through.
    Insert("after the holder let go");
    EXPECT_EQ(WriteHistoryFile(store), 1);
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), Composed());
    EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
    EXPECT_STREQ(UnsavedHistoryPath(), "");
}

// A holder that lets go within the second does not fail the save.
TEST_F(HistoryFile, AHolderThatLetsGoWithinASecondDoesNotFailTheSave) {
    StartRunOverWorkedExample();
    HeldFile holder(PathOf("CWHistry.txt"), 0);
    ASSERT_TRUE(holder.holding());
    KernelHandle release(CreateThread(nullptr, 0, LetGoSoon, &holder, 0, nullptr));
    ASSERT_TRUE(release.valid());
    EXPECT_EQ(WriteHistoryFile(store), 1);
    // The holder must outlive the thread that lets it go; the thread only sleeps first.
    WaitForSingleObject(release.get(), INFINITE);
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), Composed());
    EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
}

// A history file the user made read-only is not replaced; nothing is left beside it.
TEST_F(HistoryFile, SavingOverAReadOnlyFileKeepsIt) {
    StartRunOverWorkedExample(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(WriteHistoryFile(store), 0);
    SaveHistory(store);
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), WorkedExample);
    EXPECT_NE(Attributes("CWHistry.txt") & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
}

// A temporary file left behind by an interrupted save, in whatever state, never blocks a save,
// and one of another name (another process's) is left as it is.
TEST_F(HistoryFile, ALeftoverTemporaryFileDoesNotBlockSaving) {
    for (DWORD attributes : {DWORD{FILE_ATTRIBUTE_NORMAL}, DWORD{FILE_ATTRIBUTE_HIDDEN},
                             DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY},
                             DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM}}) {
        SCOPED_TRACE(attributes);
        StartRunOverWorkedExample();
        WriteFileBytes("CWHistry.tmp", "half a history", attributes);
        WriteFileBytes(OwnTemporaryName().c_str(), "half a history", attributes);
        EXPECT_EQ(WriteHistoryFile(store), 1);
        SaveHistory(store);
        LoadHistory(store);
        EXPECT_EQ(store.count, 3);
        SaveHistory(store);
        EXPECT_EQ(ReadFileBytes("CWHistry.tmp"), "half a history");
        EXPECT_EQ(ReadFileBytes(OwnTemporaryName().c_str()), "half a history");
        for (const std::string& name : {std::string("CWHistry.tmp"), OwnTemporaryName()}) {
            SetFileAttributesA(PathOf(name.c_str()).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(PathOf(name.c_str()).c_str());
        }
        EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
    }
}

// A page can drop files into the folder (often Downloads): a hard link under any temporary name,
// the fixed one of older runs or this process's own, is never written through, for the history
// file or the unsaved file.
TEST_F(HistoryFile, APlantedHardLinkIsNeverWrittenThrough) {
    WriteFileBytes("victim.txt", "the victim's text");
    for (const std::string& name : {std::string("CWHistry.tmp"), OwnTemporaryName(), OwnTemporaryName(2),
                                     std::string("CWHistry.unsaved.tmp"),
                                     OwnTemporaryName(1, "CWHistry.unsaved")}) {
        ASSERT_TRUE(CreateHardLinkA(PathOf(name.c_str()).c_str(), PathOf("victim.txt").c_str(), nullptr));
    }
    StartRunOverWorkedExample();
    const std::string history = Composed();
    EXPECT_EQ(WriteHistoryFile(store), 1);
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), history);
    HistoryText text;
    ASSERT_EQ(EncodeStore(store, text), 1);
    ASSERT_EQ(KeepUnsavedHistory(text), 1);
    EXPECT_EQ(ReadFileBytes("CWHistry.unsaved.txt"), history);
    RemoveUnsavedHistory();
    EXPECT_EQ(ReadFileBytes("victim.txt"), "the victim's text");
    EXPECT_EQ(ReadFileBytes(OwnTemporaryName(2).c_str()), "the victim's text");
    EXPECT_EQ(Files().size(), 7u);
}

TEST_F(HistoryFile, SavingIntoAReadOnlyFolderKeepsTheOldFile) {
    StartRunOverWorkedExample();
    ASSERT_TRUE(SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_READONLY));
    // A user whom the file system lets write anyway (root under Wine) gets the refusal the folder
    // would give anybody else.
    if (WriteWholeFile(PathOf("probe"), "")) {
        DeleteFileA(PathOf("probe").c_str());
        FailHistoryFileStep(HistoryFileStep::ReadOnlyFolder);
    }
    EXPECT_EQ(WriteHistoryFile(store), 0);
    SaveHistory(store);
    FailHistoryFileStep(HistoryFileStep::None);
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), WorkedExample);
    EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
}

// A file held without sharing at start-up is waited for, then left unread: it is never
// replaced while unread, and once the holder lets go it is read and merged below the run's own
// entries. Nothing was lost, so nothing is kept aside.
TEST_F(HistoryFile, AFileLockedAtStartUpIsMergedOnceFree) {
    WriteFileBytes("CWHistry.txt", WorkedExample, FILE_ATTRIBUTE_HIDDEN);
    HeldFile holder(PathOf("CWHistry.txt"), 0);
    ASSERT_TRUE(holder.holding());
    LoadHistory(store);
    EXPECT_EQ(store.count, 0);
    EXPECT_TRUE(HistoryFileUnread());
    Insert("this run's entry");
    Insert("MEMO LINE 1\r\nMEMO LINE 2"); // the file's entry in other letter case
    EXPECT_EQ(WriteHistoryFile(store), 0);
    EXPECT_EQ(ReadUnreadHistory(store, IgnoringCase), 0);
    EXPECT_EQ(store.count, 2);
    EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
    holder.LetGo();

    EXPECT_EQ(ReadUnreadHistory(store, IgnoringCase), 1);
    EXPECT_FALSE(HistoryFileUnread());
    ASSERT_EQ(store.count, 3);
    EXPECT_STREQ(EntryAt(store, 0).content, "MEMO LINE 1\r\nMEMO LINE 2");
    EXPECT_STREQ(EntryAt(store, 1).content, "this run's entry");
    EXPECT_STREQ(EntryAt(store, 2).content, "http://sample.jp/");
    EXPECT_EQ(WriteHistoryFile(store), 1);
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), Composed());
    EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
}

// A reader that shares the file with other readers does not keep the history from loading.
TEST_F(HistoryFile, AReaderSharingTheFileAtStartUpDoesNotStopTheLoad) {
    WriteFileBytes("CWHistry.txt", WorkedExample, FILE_ATTRIBUTE_HIDDEN);
    HeldFile holder(PathOf("CWHistry.txt"), FILE_SHARE_READ);
    ASSERT_TRUE(holder.holding());
    LoadHistory(store);
    holder.LetGo();
    EXPECT_EQ(store.count, 2);
    EXPECT_FALSE(HistoryFileUnread());
}

// Bytes someone else wrote since this run last read or wrote the file are set aside before the
// next save replaces them: an edited file, and one that appeared where there was none.
TEST_F(HistoryFile, AFileChangedBehindTheRunsBackIsKeptBeforeTheNextSave) {
    const std::string edited = Record(0, "1", "edited by hand", "http://edited.jp/");
    for (bool existedAtStart : {true, false}) {
        SCOPED_TRACE(existedAtStart);
        if (existedAtStart) {
            StartRunOverWorkedExample();
            EXPECT_EQ(WriteHistoryFile(store), 1);
        } else {
            LoadHistory(store);
            Insert("this run's entry");
        }
        WriteFileBytes("CWHistry.txt", edited, FILE_ATTRIBUTE_HIDDEN);
        Insert("the next change");
        EXPECT_EQ(WriteHistoryFile(store), 1);
        EXPECT_EQ(ReadFileBytes("CWHistry.kept.txt"), edited);
        EXPECT_EQ(ReadFileBytes("CWHistry.txt"), Composed());
        // The run's own writes are not changes.
        Insert("and one more");
        EXPECT_EQ(WriteHistoryFile(store), 1);
        EXPECT_EQ(SortedFiles(), (std::vector<std::string>{"CWHistry.kept.txt", "CWHistry.txt"}));
        SaveHistoryIgnored();
        SetFileAttributesA(PathOf("CWHistry.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(PathOf("CWHistry.txt").c_str());
        DeleteFileA(PathOf("CWHistry.kept.txt").c_str());
    }
}

// Another writer of the folder (a second session, a synced machine) rewrote the file: its entries
// come in below the run's before the next write, and nothing is set aside while they all find
// room. A full history has none: the file is set aside then, and only then.
TEST_F(HistoryFile, AnotherWritersFileIsMergedAndKeptOnlyWhenItsEntriesFindNoRoom) {
    StartRunOverWorkedExample();
    EXPECT_EQ(WriteHistoryFile(store), 1);
    const std::string other = Record(0, "1", "other", "http://other.jp/") + WorkedExample;
    WriteFileBytes("CWHistry.txt", other, FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(MergeChangedHistory(store, IgnoringCase), 1);
    ASSERT_EQ(store.count, 4);
    EXPECT_STREQ(EntryAt(store, 0).content, "this run's entry");
    EXPECT_STREQ(EntryAt(store, 1).content, "http://other.jp/"); // above what both have
    EXPECT_EQ(MergeChangedHistory(store, IgnoringCase), 0) << "merged once";
    EXPECT_EQ(WriteHistoryFile(store), 1);
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), Composed());
    EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});

    while (store.count < MaxLiveEntries) {
        Insert(("filler " + std::to_string(store.count)).c_str());
    }
    EXPECT_EQ(WriteHistoryFile(store), 1);
    // Both full: the other writer's new entry comes in above what both have, and the oldest goes
    // as it would for any new entry. Nothing is set aside.
    const std::string full = ReadFileBytes("CWHistry.txt");
    const std::string newer =
        Record(0, "1", "newer", "http://newer.jp/") + full.substr(0, full.rfind("__ContentsNomber."));
    WriteFileBytes("CWHistry.txt", newer, FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(MergeChangedHistory(store, IgnoringCase), 1);
    ASSERT_EQ(store.count, MaxLiveEntries);
    EXPECT_STREQ(EntryAt(store, 0).content, "http://newer.jp/");
    EXPECT_EQ(WriteHistoryFile(store), 1);
    EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});

    // An entry of the other writer's below what both have, with no room left for it.
    const std::string written = ReadFileBytes("CWHistry.txt");
    const std::string noRoom =
        Record(0, "1", "newer", "http://newer.jp/") + Record(1, "1", "no room", "http://no-room.jp/");
    WriteFileBytes("CWHistry.txt", noRoom, FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(MergeChangedHistory(store, IgnoringCase), 0);
    EXPECT_EQ(WriteHistoryFile(store), 1);
    EXPECT_EQ(ReadFileBytes("CWHistry.kept.txt"), noRoom);
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), written);
    EXPECT_EQ(Files().size(), 2u);
}

// A file rewritten with bytes the run already has (touched by a sync client, or a copy of what
// was set aside written back) is never set aside again, whatever its time stamp.
TEST_F(HistoryFile, BytesTheRunAlreadyHasAreNotKeptAgain) {
    StartRunOverWorkedExample();
    EXPECT_EQ(WriteHistoryFile(store), 1);
    const std::string written = ReadFileBytes("CWHistry.txt");
    const FILETIME longAgo = {0x12345678, 0x01c00000};
    for (int rewrite = 0; rewrite < 2; ++rewrite) {
        WriteFileBytes("CWHistry.txt", written, FILE_ATTRIBUTE_HIDDEN);
        HANDLE file = CreateFileA(PathOf("CWHistry.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        FILETIME stamp = longAgo;
        stamp.dwLowDateTime += rewrite;
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &stamp));
        CloseHandle(file);
        EXPECT_EQ(WriteHistoryFile(store), 1);
    }
    EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});

    // A damaged file set aside once, and written back as it was: kept once.
    const std::string damaged = "not a history file\r\n";
    for (int writeBack = 0; writeBack < 2; ++writeBack) {
        WriteFileBytes("CWHistry.txt", damaged, FILE_ATTRIBUTE_HIDDEN);
        EXPECT_EQ(MergeChangedHistory(store, IgnoringCase), 0);
        EXPECT_EQ(WriteHistoryFile(store), 1);
    }
    EXPECT_EQ(ReadFileBytes("CWHistry.kept.txt"), damaged);
    EXPECT_EQ(SortedFiles(), (std::vector<std::string>{"CWHistry.kept.txt", "CWHistry.txt"}));
}

// The kept names go on from the run's last one: a name the user freed meanwhile is not taken
// again by the same run, which never looks at the names below its own again.
TEST_F(HistoryFile, KeptNumbersGoOnFromTheRunsLast) {
    StartRunOverWorkedExample();
    for (int n = 1; n <= 3; ++n) {
        const std::string edited = Record(0, "1", "edit " + std::to_string(n), "http://edited.jp/");
        WriteFileBytes("CWHistry.txt", edited, FILE_ATTRIBUTE_HIDDEN);
        EXPECT_EQ(WriteHistoryFile(store), 1);
        if (n == 2) {
            ASSERT_TRUE(DeleteFileA(PathOf("CWHistry.kept.txt").c_str()));
        }
    }
    EXPECT_EQ(SortedFiles(),
              (std::vector<std::string>{"CWHistry.kept-2.txt", "CWHistry.kept-3.txt", "CWHistry.txt"}));
    EXPECT_EQ(ReadFileBytes("CWHistry.kept-3.txt"), Record(0, "1", "edit 3", "http://edited.jp/"));
}

// With every kept name taken, a changed file is replaced all the same, and the run hears of it
// once per write that could not keep it; a name freed later is found again.
TEST_F(HistoryFile, WithEveryKeptNameTakenTheSaveGoesAhead) {
    ASSERT_TRUE(TakeEveryKeptName(folder, 20));
    StartRunOverWorkedExample();
    EXPECT_EQ(WriteHistoryFile(store), 1);
    EXPECT_FALSE(TakeKeptNamesRanOut());
    const std::string edited = Record(0, "1", "edited", "http://edited.jp/");
    WriteFileBytes("CWHistry.txt", edited, FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(WriteHistoryFile(store), 1);
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), Composed());
    EXPECT_TRUE(TakeKeptNamesRanOut());
    EXPECT_FALSE(TakeKeptNamesRanOut());

    ASSERT_TRUE(DeleteFileA(PathOf("CWHistry.kept-5.txt").c_str()));
    WriteFileBytes("CWHistry.txt", edited, FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(WriteHistoryFile(store), 1);
    EXPECT_EQ(ReadFileBytes("CWHistry.kept-5.txt"), edited);
    EXPECT_FALSE(TakeKeptNamesRanOut());
    EXPECT_EQ(Files().size(), 21u);
}

// A damaged file loads what it can; its bytes are kept under the next free name.
TEST_F(HistoryFile, ADamagedFileIsKeptUnderAFreeName) {
    const std::string damaged = Record(0, "1", "kept", "http://kept.jp/") + "__ContentsNomber.1\r\n2\r\ncut";
    WriteFileBytes("CWHistry.txt", damaged, FILE_ATTRIBUTE_HIDDEN);
    WriteFileBytes("CWHistry.kept.txt", "an earlier run's");
    WriteFileBytes("CWHistry.kept-2.txt", "and another");
    LoadHistory(store);
    ASSERT_EQ(store.count, 1);
    EXPECT_STREQ(EntryAt(store, 0).title, "kept");
    EXPECT_EQ(WriteHistoryFile(store), 1);
    SaveHistory(store);

    EXPECT_EQ(ReadFileBytes("CWHistry.kept.txt"), "an earlier run's");
    EXPECT_EQ(ReadFileBytes("CWHistry.kept-2.txt"), "and another");
    EXPECT_EQ(ReadFileBytes("CWHistry.kept-3.txt"), damaged);
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), Record(0, "1", "kept", "http://kept.jp/"));
    EXPECT_EQ(Files().size(), 4u);
}

TEST_F(HistoryFile, WhenKeepingFailsTheOldFileIsNotReplaced) {
    const std::string noRecords = "not a history file\r\n";
    WriteFileBytes("CWHistry.txt", noRecords);
    LoadHistory(store);
    EXPECT_EQ(store.count, 0);
    Insert("this run's entry");
    FailHistoryFileStep(HistoryFileStep::KeepOld);
    EXPECT_EQ(WriteHistoryFile(store), 0);
    FailHistoryFileStep(HistoryFileStep::None);
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), noRecords);
    EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
    // Keeping is tried again by the next save.
    SaveHistory(store);
    EXPECT_EQ(ReadFileBytes("CWHistry.kept.txt"), noRecords);
}

TEST_F(HistoryFile, AReadFailureAtStartUpKeepsTheFile) {
    WriteFileBytes("CWHistry.txt", WorkedExample);
    FailHistoryFileStep(HistoryFileStep::Read);
    LoadHistory(store);
    FailHistoryFileStep(HistoryFileStep::None);
    EXPECT_EQ(store.count, 0);
    SaveHistory(store);
    EXPECT_EQ(SortedFiles(), (std::vector<std::string>{"CWHistry.kept.txt", "CWHistry.txt"}));
    EXPECT_EQ(ReadFileBytes("CWHistry.kept.txt"), WorkedExample);
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), "");
}

// A Japanese folder name whose Shift_JIS bytes hold 0x5C ("表") is a path like any other.
TEST_F(HistoryFile, WorksInAFolderWithAJapaneseName) {
    if (GetACP() != 932) {
        // Folder names are in the system's code page; elsewhere these bytes name no such folder.
        GTEST_SKIP() << "a Shift_JIS folder name needs a Japanese system";
    }
    const std::string sub = folder + "\\表示履歴";
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    ASSERT_TRUE(SetCurrentDirectoryA(sub.c_str()));
    LoadHistory(store);
    Insert("ページタイトル不明");
    SaveHistory(store);
    LoadHistory(store);
    const int count = store.count;
    const std::string content = count ? EntryAt(store, 0).content : "";
    SaveHistory(store);
    const std::string file = sub + "\\CWHistry.txt";
    const DWORD attributes = GetFileAttributesA(file.c_str());
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(file.c_str());
    SetCurrentDirectoryA(folder.c_str());
    RemoveDirectoryA(sub.c_str());
    EXPECT_EQ(count, 1);
    EXPECT_EQ(content, "ページタイトル不明");
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(attributes & FILE_ATTRIBUTE_HIDDEN, 0u);
}

std::string Records(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += Record(i, "1", "t", "http://x.jp/" + std::to_string(i));
    }
    return text;
}

// Files in which a first save drops bytes, and what that save writes: the entries load as
// they always did.
struct LossyFile {
    std::string bytes;
    std::string saved;
};

const LossyFile LossyFiles[] = {
    {Records(128), Records(127)},
    {Records(130), Records(127)},
    {"notes before the history\r\n" + WorkedExample, WorkedExample},
    {Record(0, "2", "24 Byte", "memo line 1\r\nmemo line 2") + "a line between\r\n" +
         Record(1, "1", "Sample Page", "http://sample.jp/"),
     WorkedExample},
    {WorkedExample + "notes after the history\r\n", WorkedExample},
    {WorkedExample + std::string(1, '\0') + Record(2, "1", "past a zero byte", "http://zero.jp/"),
     WorkedExample},
    {WorkedExample + std::string(1, '\0') + "past a zero byte", WorkedExample},
};

// The file is kept as it was before the first save replaces it; later saves keep nothing more.
TEST_F(HistoryFile, ALossyFileIsKeptBeforeTheFirstSave) {
    for (const LossyFile& lossy : LossyFiles) {
        SCOPED_TRACE(lossy.bytes.substr(0, 40));
        WriteFileBytes("CWHistry.txt", lossy.bytes, FILE_ATTRIBUTE_HIDDEN);
        LoadHistory(store);
        EXPECT_EQ(WriteHistoryFile(store), 1);
        EXPECT_EQ(ReadFileBytes("CWHistry.kept.txt"), lossy.bytes);
        EXPECT_EQ(ReadFileBytes("CWHistry.txt"), lossy.saved);
        Insert("a later change");
        SaveHistory(store);
        EXPECT_EQ(SortedFiles(), (std::vector<std::string>{"CWHistry.kept.txt", "CWHistry.txt"}));
        DeleteFileA(PathOf("CWHistry.kept.txt").c_str());
    }
}

// Nothing is kept for files that lose nothing: empty ones, ones the program wrote, and ones
// that a save only writes in its own spelling (kinds, markers' letter case, record numbers, the
// last CR LF).
TEST_F(HistoryFile, NothingIsKeptWhenNothingWasLost) {
    const std::string respelled = "__contentsnomber.7\r\n2.5\r\n24 Byte\r\nmemo line 1\r\nmemo line 2\r\n"
                                  "__CONTENSEND\r\n"
                                  "__ContentsNomber.7\r\n&H1\r\nSample Page\r\nhttp://sample.jp/\r\n"
                                  "__ContensEnd";
    for (const std::string& text : {std::string(), WorkedExample, Records(127), respelled}) {
        SCOPED_TRACE(text.substr(0, 40));
        WriteFileBytes("CWHistry.txt", text, FILE_ATTRIBUTE_HIDDEN);
        LoadHistory(store);
        EXPECT_EQ(WriteHistoryFile(store), 1);
        EXPECT_EQ(ReadFileBytes("CWHistry.txt"), text == respelled ? WorkedExample : text);
        SaveHistory(store);
        EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
    }
}

// The unsaved file takes the first free name and stays the run's own; a folder whose names are
// all taken sends it to the local application data, like a folder that refuses files.
TEST_F(HistoryFile, TheUnsavedFileTakesTheFirstFreeNameWithoutEnd) {
    StartRunOverWorkedExample();
    WriteFileBytes("CWHistry.unsaved.txt", "another run's");
    HistoryText text;
    ASSERT_EQ(EncodeStore(store, text), 1);
    ASSERT_EQ(KeepUnsavedHistory(text), 1);
    EXPECT_EQ(UnsavedHistoryPath(), PathOf("CWHistry.unsaved-2.txt"));
    Insert("a later change");
    ASSERT_EQ(EncodeStore(store, text), 1);
    ASSERT_EQ(KeepUnsavedHistory(text), 1);
    EXPECT_EQ(UnsavedHistoryPath(), PathOf("CWHistry.unsaved-2.txt"));
    EXPECT_EQ(ReadFileBytes("CWHistry.unsaved-2.txt"), std::string(text.data, text.size));
    EXPECT_EQ(ReadFileBytes("CWHistry.unsaved.txt"), "another run's");
    EXPECT_EQ(Files().size(), 3u);

    for (int n = 3; n <= 20; ++n) {
        WriteFileBytes(("CWHistry.unsaved-" + std::to_string(n) + ".txt").c_str(), "taken");
    }
    LoadHistory(store); // a new run, with twenty names beside the history taken: the numbers go on
    Insert("the new run's entry");
    ASSERT_EQ(EncodeStore(store, text), 1);
    ASSERT_EQ(KeepUnsavedHistory(text), 1);
    EXPECT_EQ(UnsavedHistoryPath(), PathOf("CWHistry.unsaved-21.txt"));
    EXPECT_EQ(ReadFileBytes("CWHistry.unsaved-21.txt"), std::string(text.data, text.size));
    EXPECT_EQ(Files().size(), 22u);
}

// A folder that refuses every new file: nothing of the old file is touched, and the run's
// history is kept in the local application data.
TEST_F(HistoryFile, AnUnwritableFolderKeepsTheHistoryInTheLocalApplicationData) {
    StartRunOverWorkedExample();
    FailHistoryFileStep(HistoryFileStep::ReadOnlyFolder);
    HistoryText text;
    ASSERT_EQ(EncodeStore(store, text), 1);
    EXPECT_EQ(WriteHistoryText(text), HistoryWrite::Failed);
    ASSERT_EQ(KeepUnsavedHistory(text), 1);
    FailHistoryFileStep(HistoryFileStep::None);
    const std::string kept = UnsavedHistoryPath();
    const std::string appFolder = LocalAppDataFolder() + "\\Clipwren\\CWHistry.unsaved";
    EXPECT_EQ(kept.compare(0, appFolder.size(), appFolder), 0) << kept;
    EXPECT_EQ(ReadWholeFile(kept), std::string(text.data, text.size));
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), WorkedExample);
    EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
    DeleteFileA(kept.c_str());
}

// A 32-bit run without a manifest in a protected folder left its history in the VirtualStore:
// it is read when the folder has no history of its own, and never written.
TEST_F(HistoryFile, TheVirtualStoreCopyIsReadWhenTheFolderHasNoHistory) {
    // "C:\users\...\cwshell-..." -> "<local app data>\VirtualStore\users\...\cwshell-..."
    const std::string storeFolder = LocalAppDataFolder() + "\\VirtualStore" + folder.substr(2);
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, storeFolder.c_str(), nullptr), ERROR_SUCCESS);
    const std::string copy = storeFolder + "\\CWHistry.txt";
    const std::string redirected = Record(0, "1", "redirected", "http://virtual.jp/");
    ASSERT_TRUE(WriteWholeFile(copy, redirected));

    LoadHistory(store);
    ASSERT_EQ(store.count, 1);
    EXPECT_STREQ(EntryAt(store, 0).content, "http://virtual.jp/");
    Insert("this run's entry");
    SaveHistory(store);
    EXPECT_EQ(ReadWholeFile(copy), redirected);

    // From now on the folder's own file is the history.
    LoadHistory(store);
    EXPECT_EQ(store.count, 2);
    SaveHistoryIgnored();
    WriteFileBytes("CWHistry.txt", "", FILE_ATTRIBUTE_HIDDEN);
    LoadHistory(store);
    EXPECT_EQ(store.count, 0);

    DeleteFileA(copy.c_str());
    RemoveDirectoryA(storeFolder.c_str());
}

} // namespace
