// The history file on a real file system: loading, the hidden attribute, safe replacement when a
// step fails, and the keeping of a file that could not be read. Each test runs in a fresh
// folder that is the current directory.
#include <windows.h>

#include <gtest/gtest.h>

#include "history/HistoryCodec.h"
#include "history/HistoryFileFaults_win.h"
#include "history/HistoryFile_win.h"
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
        HANDLE h =
            CreateFileA(PathOf(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
        CloseHandle(h);
    }

    std::string ReadFileBytes(const char* name) const {
        HANDLE h = CreateFileA(PathOf(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            return "(missing)";
        }
        std::string bytes;
        char chunk[4096];
        DWORD got = 0;
        while (ReadFile(h, chunk, sizeof chunk, &got, nullptr) && got) {
            bytes.append(chunk, got);
        }
        CloseHandle(h);
        return bytes;
    }

    DWORD Attributes(const char* name) const { return GetFileAttributesA(PathOf(name).c_str()); }

    // A file that the test holds open without sharing, as another program might.
    HANDLE Lock(const char* name) const {
        return CreateFileA(PathOf(name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
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
    for (int i = 0; i < HistoryCapacity; ++i) {
        EXPECT_EQ(store.content[i], nullptr);
        EXPECT_EQ(store.title[i], nullptr);
        EXPECT_EQ(static_cast<int>(store.kind[i]), 0);
    }

    SaveHistory(store);
    EXPECT_EQ(store.count, 0);
    EXPECT_EQ(store.ownedStrings, 0);
    // An empty history is an empty, hidden file.
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), "");
    EXPECT_NE(Attributes("CWHistry.txt") & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
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

TEST_F(HistoryFile, SavingOverALockedFileKeepsIt) {
    StartRunOverWorkedExample();
    HANDLE lock = Lock("CWHistry.txt");
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(WriteHistoryFile(store), 0);
    CloseHandle(lock);
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), WorkedExample);
    EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
    // Once the other program lets go, the next save goes through.
    SaveHistory(store);
    EXPECT_NE(ReadFileBytes("CWHistry.txt"), WorkedExample);
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

// A temporary file left behind by an interrupted save, in whatever state, never blocks a save.
TEST_F(HistoryFile, ALeftoverTemporaryFileDoesNotBlockSaving) {
    for (DWORD attributes : {DWORD{FILE_ATTRIBUTE_NORMAL}, DWORD{FILE_ATTRIBUTE_HIDDEN},
                             DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY},
                             DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM}}) {
        SCOPED_TRACE(attributes);
        StartRunOverWorkedExample();
        WriteFileBytes("CWHistry.tmp", "half a history", attributes);
        EXPECT_EQ(WriteHistoryFile(store), 1);
        SaveHistory(store);
        LoadHistory(store);
        EXPECT_EQ(store.count, 3);
        SaveHistory(store);
        EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
    }
}

TEST_F(HistoryFile, SavingIntoAReadOnlyFolderKeepsTheOldFile) {
    StartRunOverWorkedExample();
    ASSERT_TRUE(SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_READONLY));
    // A user whom the file system lets write anyway (root under Wine) cannot see this case.
    HANDLE probe = CreateFileA(PathOf("probe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        DeleteFileA(PathOf("probe").c_str());
        SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
        GTEST_SKIP() << "this folder stays writable when read-only; the failing creation is covered by "
                        "EachFailingStepLeavesTheOldFileAndNoTemporaryFile";
    }
    EXPECT_EQ(WriteHistoryFile(store), 0);
    SaveHistory(store);
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), WorkedExample);
    EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
}

// A file locked at start-up is kept byte for byte before the first save replaces it, and only
// once however often the run saves.
TEST_F(HistoryFile, AFileLockedAtStartUpIsKeptAside) {
    WriteFileBytes("CWHistry.txt", WorkedExample, FILE_ATTRIBUTE_HIDDEN);
    HANDLE lock = Lock("CWHistry.txt");
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    LoadHistory(store);
    EXPECT_EQ(store.count, 0);
    Insert("this run's entry");
    // Still locked: the file can be neither kept nor replaced.
    EXPECT_EQ(WriteHistoryFile(store), 0);
    EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
    CloseHandle(lock);
    EXPECT_EQ(WriteHistoryFile(store), 1);
    Insert("after the end of the session");
    SaveHistory(store);

    EXPECT_EQ(ReadFileBytes("CWHistry.kept.txt"), WorkedExample);
    std::vector<std::string> expected = {"CWHistry.kept.txt", "CWHistry.txt"};
    std::vector<std::string> files = Files();
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, expected);
    HistoryStore again{};
    LoadHistory(again);
    ASSERT_EQ(again.count, 2);
    EXPECT_STREQ(EntryAt(again, 0).content, "after the end of the session");
    SaveHistory(again);
    EXPECT_EQ(Files().size(), 2u);
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
    EXPECT_EQ(ReadFileBytes("CWHistry.kept.txt"), WorkedExample);
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), "");
}

// A Japanese folder name whose Shift_JIS bytes hold 0x5C ("表") is a path like any other.
TEST_F(HistoryFile, WorksInAFolderWithAJapaneseName) {
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

// Nothing is kept for files that lose nothing: empty ones, complete ones, and ones whose only
// loss is records past the 128th.
TEST_F(HistoryFile, NothingIsKeptWhenNothingWasLost) {
    std::string long130;
    for (int i = 0; i < 130; ++i) {
        long130 += Record(i, "1", "t", "http://x.jp/" + std::to_string(i));
    }
    for (const std::string& text : {std::string(), WorkedExample, long130}) {
        WriteFileBytes("CWHistry.txt", text, FILE_ATTRIBUTE_HIDDEN);
        LoadHistory(store);
        EXPECT_EQ(WriteHistoryFile(store), 1);
        SaveHistory(store);
        EXPECT_EQ(Files(), std::vector<std::string>{"CWHistry.txt"});
    }
    // The 130-record file was cut to 127 records numbered 0 to 126.
    std::string expected;
    for (int i = 0; i < 127; ++i) {
        expected += Record(i, "1", "t", "http://x.jp/" + std::to_string(i));
    }
    EXPECT_EQ(ReadFileBytes("CWHistry.txt"), expected);
}

} // namespace
