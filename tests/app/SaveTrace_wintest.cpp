// The debug line of a failed save: one per failed write, with the error, naming no path.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "history/HistoryStore.h"
#include "support/ClipboardAccess_win.h"
#include "support/DebugOutputReader_win.h"
#include "support/ShellSession_win.h"
#include "support/StoreBuilder.h"

TEST(SaveTrace, AFailedSaveLeavesALineWithItsError) {
    ASSERT_TRUE(PutClipboard(nullptr));
    DebugOutputReader reader;
    ASSERT_TRUE(reader.ok());
    ShellSession session([](const TempFolder& folder) {
        ASSERT_TRUE(WriteWholeFile(folder.File("CWHistry.txt"), WorkedExample(), FILE_ATTRIBUTE_HIDDEN));
    });
    const std::string file = session.folder().File("CWHistry.txt");
    {
        // Held by a reader that shares it for reading only: it can be neither written nor replaced.
        HeldFile holder(file, FILE_SHARE_READ);
        ASSERT_TRUE(holder.holding());
        ASSERT_EQ(InsertAtTop(TheHistory(), "captured while held", EntryKind::Text, "title"), 1);
        SendMessageA(session.main(), WM_NULL, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return !reader.LinesWith("could not be saved").empty(); }));
    }
    const std::vector<std::string> lines = reader.LinesWith("could not be saved");
    const std::string prefix = "Clipwren: the history could not be saved: error ";
    ASSERT_EQ(lines[0].compare(0, prefix.size(), prefix), 0) << lines[0];
    const unsigned long error = std::stoul(lines[0].substr(prefix.size()));
    EXPECT_TRUE(error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED) << lines[0];
    for (const std::string& line : reader.Lines()) {
        EXPECT_EQ(line.find("CWHistry"), std::string::npos) << line;
    }
}
