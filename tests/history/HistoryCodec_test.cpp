// The history file's bytes: the reader's rules, damaged and cut-short files, text the format
// cannot carry, and random stores that must come back unchanged.
#include <gtest/gtest.h>

#include "history/HistoryCodec.h"
#include "history/HistoryTestSeams.h"
#include "support/StoreBuilder.h"

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

const std::string& WorkedExample = ::WorkedExample();

struct Entry {
    std::string content;
    std::string title;
    int32_t kind;
};

// Loads text into a fresh store and keeps it for the test; releases everything at the end.
class Loaded : public testing::Test {
protected:
    void TearDown() override {
        FailStoreAllocations(0, 0);
        ReleaseStoreStrings(store);
        EXPECT_EQ(store.ownedStrings, 0);
    }

    HistoryLoadResult Load(const std::string& text) {
        ReleaseStoreStrings(store);
        return LoadStoreFromText(store, text.data(), text.size());
    }

    std::vector<Entry> Entries() const {
        std::vector<Entry> out;
        for (int i = 0; i < store.count; ++i) {
            HistoryEntry e = EntryAt(store, i);
            out.push_back(Entry{e.content, e.title, static_cast<int32_t>(e.kind)});
        }
        return out;
    }

    std::string Save() const {
        HistoryText text;
        EXPECT_EQ(EncodeStore(store, text), 1);
        return std::string(text.data, text.size);
    }

    HistoryStore store{};
};

TEST_F(Loaded, WorkedExampleRoundTripsByteForByte) {
    ASSERT_EQ(WorkedExample.size(), 141u);
    HistoryLoadResult r = Load(WorkedExample);
    EXPECT_EQ(r.records, 2);
    EXPECT_EQ(r.complete, 1);
    ASSERT_EQ(store.count, 2);
    EXPECT_STREQ(EntryAt(store, 0).content, "memo line 1\r\nmemo line 2");
    EXPECT_STREQ(EntryAt(store, 0).title, "24 Byte");
    EXPECT_EQ(EntryAt(store, 0).kind, EntryKind::Text);
    EXPECT_STREQ(EntryAt(store, 1).content, "http://sample.jp/");
    EXPECT_STREQ(EntryAt(store, 1).title, "Sample Page");
    EXPECT_EQ(EntryAt(store, 1).kind, EntryKind::Url);
    EXPECT_EQ(store.content[2], nullptr);
    EXPECT_EQ(Save(), WorkedExample);
}

TEST_F(Loaded, EmptyStoreSavesZeroBytes) {
    EXPECT_EQ(Load("").complete, 1);
    EXPECT_EQ(store.count, 0);
    HistoryText text;
    ASSERT_EQ(EncodeStore(store, text), 1);
    EXPECT_EQ(text.size, 0u);
    EXPECT_NE(text.data, nullptr);
}

TEST(KindLine, NumberRules) {
    struct Case {
        const char* line;
        int32_t kind;
    };
    const Case cases[] = {
        {"2.5", 2}, {"3.5", 4}, {"&H10", 16}, {"&o17", 15}, {"-1", -1}, {" 1", 0}, {"x", 0},
        {"", 0}, {"-", 0}, {"+1", 0}, {".6", 0}, {"-.6", 0}, {"0.5", 0}, {"1.5", 2},
        {"2.51", 3}, {"2.5000001", 3}, {"2.50000", 2}, {"2.4999", 2}, {"-2.5", -2}, {"-3.5", -4},
        {"-0.5", 0}, {"-0.6", -1}, {"-0", 0}, {"007", 7}, {"5.", 5}, {"5.x", 5}, {"1e5", 1},
        {"12abc", 12}, {"1 2", 1}, {"0000000000000000000000000000001", 1},
        {"&hff", 255}, {"&HfF", 255}, {"&H", 0}, {"&", 0}, {"&X1", 0}, {"&O8", 0}, {"&o78", 7},
        {"&H-1", 0}, {"&H 1", 0},
        {"2147483647", 2147483647}, {"2147483648", 0}, {"-2147483648", INT32_MIN},
        {"-2147483649", 0}, {"2147483647.4", 2147483647}, {"2147483647.5", 0},
        {"2147483646.5", 2147483646}, {"-2147483648.5", INT32_MIN}, {"-2147483648.51", 0},
        {"99999999999999999999999999", 0}, {"-99999999999999999999999999.5", 0},
        {"&H7FFFFFFF", 2147483647}, {"&H80000000", 0}, {"&HFFFFFFFF", 0},
        {"&H0000000000000000000001", 1}, {"&HFFFFFFFFFFFFFFFFFFFFFFFF", 0},
        {"&O17777777777", 2147483647}, {"&O20000000000", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseKindLine(c.line, std::strlen(c.line)), c.kind) << '"' << c.line << '"';
    }
    // The line's length bounds the number: no byte after it is looked at.
    EXPECT_EQ(ParseKindLine("123", 2), 12);
    EXPECT_EQ(ParseKindLine("2.5", 2), 2);
    EXPECT_EQ(ParseKindLine("&H1F", 3), 1);
}

TEST_F(Loaded, KindLinesInAFileAndWrittenBack) {
    const char* lines[] = {"2.5", "3.5", "&H10", "&o17", "-1", " 1", "x"};
    const int32_t kinds[] = {2, 4, 16, 15, -1, 0, 0};
    std::string text;
    for (int i = 0; i < 7; ++i) {
        text += Record(std::to_string(i), lines[i], "t", "c");
    }
    ASSERT_EQ(Load(text).complete, 1);
    ASSERT_EQ(store.count, 7);
    std::string expected;
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(static_cast<int32_t>(EntryAt(store, i).kind), kinds[i]) << lines[i];
        expected += Record(std::to_string(i), std::to_string(kinds[i]), "t", "c");
    }
    EXPECT_EQ(Save(), expected);
}

TEST_F(Loaded, ExtremeKindsRoundTrip) {
    std::string text = Record("0", "-2147483648", "a", "b") + Record("1", "2147483647", "c", "d") +
                       Record("2", "0", "e", "f");
    ASSERT_EQ(Load(text).records, 3);
    EXPECT_EQ(Save(), text);
}

// The 128th record, which no save writes, and every record after it are losses to report.
TEST_F(Loaded, A128thRecordTakesTheReserveSlotAndLaterOnesAreNotRead) {
    std::string text;
    for (int i = 0; i < 128; ++i) {
        text += Record(std::to_string(i), "1", "title " + std::to_string(i), "http://x/" + std::to_string(i));
    }
    EXPECT_EQ(Load(text).complete, 0);
    HistoryRecord records[HistoryCapacity];
    EXPECT_EQ(ReadHistoryRecords(text.data(), text.size(), records, HistoryCapacity).complete, 1);
    EXPECT_EQ(ReadHistoryRecords(text.data(), text.size(), records, MaxLiveEntries).complete, 0);
    text += Record("128", "1", "title 128", "http://x/128") + Record("129", "1", "title 129", "http://x/129");
    HistoryLoadResult r = Load(text);
    EXPECT_EQ(r.records, 128);
    EXPECT_EQ(r.complete, 0);
    EXPECT_EQ(store.count, 127);
    EXPECT_STREQ(store.content[126], "http://x/126");
    EXPECT_STREQ(store.content[127], "http://x/127");
    EXPECT_EQ(store.ownedStrings, 2 * 128);

    std::string saved = Save();
    std::string expected;
    for (int i = 0; i < 127; ++i) {
        expected += Record(std::to_string(i), "1", "title " + std::to_string(i), "http://x/" + std::to_string(i));
    }
    EXPECT_EQ(saved, expected);

    ASSERT_EQ(InsertAtTop(store, "new", EntryKind::Text, "3 Byte"), 1);
    EXPECT_EQ(store.ownedStrings, 2 * 128); // the 128th record was released
    EXPECT_STREQ(store.content[127], "http://x/126");
}

TEST_F(Loaded, MarkersInAnyLetterCase) {
    std::string text = "__CONTENTSNOMBER.0\r\n1\r\nUpper\r\nhttp://a.jp/\r\n__CONTENSEND\r\n"
                       "__contentsnomber.1\r\n2\r\nlower\r\ntext\r\n__contensend\r\n"
                       "__cOnTeNtSnOmBeR.2\r\n2\r\nmixed\r\nmore\r\n__CoNtEnSeNd\r\n";
    ASSERT_EQ(Load(text).complete, 1);
    ASSERT_EQ(store.count, 3);
    EXPECT_STREQ(EntryAt(store, 0).title, "Upper");
    EXPECT_STREQ(EntryAt(store, 1).content, "text");
    EXPECT_STREQ(EntryAt(store, 2).content, "more");
}

TEST_F(Loaded, FilesWithoutRecords) {
    HistoryLoadResult r = Load("");
    EXPECT_EQ(r.records, 0);
    EXPECT_EQ(r.complete, 1);
    for (const char* text : {"just some text\r\n", "\r\n", "__ContentsNomber", "_"}) {
        r = Load(text);
        EXPECT_EQ(r.records, 0) << text;
        EXPECT_EQ(r.complete, 0) << text; // not empty, yet nothing to load: keep it
        EXPECT_EQ(store.count, 0);
        EXPECT_EQ(store.content[0], nullptr);
    }
}

TEST_F(Loaded, LinesAndEmptyFieldsReadBackUnchanged) {
    const std::vector<Entry> entries = {
        {"\r\n\r\nafter two blank lines\r\n\r\nand before two\r\n\r\n", "blank lines", 2},
        {"ends in CR LF\r\n", "", 2},
        {"", "empty content", 2},
        {"", "", 2},
        {"\r\n", "\r", 2},
        {"lone\rCR and lone\nLF", "lone\rCR\nLF", 2},
        {"ends in CR\r", "ends in CR\r", 7},
        {"__ContentsNomber.5\r\n1\r\nnot a record\r\n", "__ContensEnd", 2},
        {"\x83\x5f\x95\x5c", "\x95\x5c\x8e\xa6", 1},
    };
    std::vector<HistoryRecord> records;
    for (const Entry& e : entries) {
        records.push_back(HistoryRecord{e.title.data(), e.title.size(), e.content.data(), e.content.size(), e.kind});
    }
    std::string text(HistoryTextLength(records.data(), static_cast<int>(records.size())), '\0');
    FormatHistoryRecords(records.data(), static_cast<int>(records.size()), &text[0]);
    ASSERT_EQ(Load(text).complete, 1);
    std::vector<Entry> back = Entries();
    ASSERT_EQ(back.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(back[i].content, entries[i].content) << i;
        EXPECT_EQ(back[i].title, entries[i].title) << i;
        EXPECT_EQ(back[i].kind, entries[i].kind) << i;
    }
    EXPECT_EQ(Save(), text);
}

TEST_F(Loaded, RecordNumbersAreIgnored) {
    std::string text = Record("0", "1", "a", "first") + Record("0", "1", "b", "second") +
                       Record("7", "1", "c", "third") + Record("", "1", "d", "fourth") +
                       Record("x", "1", "e", "fifth");
    ASSERT_EQ(Load(text).complete, 1);
    ASSERT_EQ(store.count, 5);
    const char* order[] = {"first", "second", "third", "fourth", "fifth"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(EntryAt(store, i).content, order[i]);
    }
    EXPECT_EQ(Save(), Record("0", "1", "a", "first") + Record("1", "1", "b", "second") +
                          Record("2", "1", "c", "third") + Record("3", "1", "d", "fourth") +
                          Record("4", "1", "e", "fifth"));
}

// Bytes outside every record do not load, and the result says so; what a save writes again,
// in other spelling, is no loss. The records load the same either way.
TEST_F(Loaded, BytesOutsideRecordsAreIgnoredAndReported) {
    const std::string a = Record("0", "1", "a", "b");
    const std::string b = Record("1", "2", "c", "d");
    const std::string aWithoutCrLf = a.substr(0, a.size() - 2);
    struct Case {
        std::string text;
        int complete;
    };
    const Case cases[] = {
        {"garbage before\r\n" + a + b, 0},
        {"\r\n" + a + b, 0},
        {" " + a + b, 0},
        {a + "between\r\n" + b, 0},
        {a + "\r\n" + b, 0},
        {aWithoutCrLf + "x" + b, 0},
        {aWithoutCrLf + " \r\n" + b, 0},
        {a + b + "\r\n", 0},
        {a + b + "after", 0},
        {a + b.substr(0, b.size() - 1), 0}, // a lone CR after the last end marker
        {a + b + std::string(1, '\0'), 0},
        {a + b + std::string(1, '\0') + "after a zero byte", 0},
        {a + b, 1},
        {a + b.substr(0, b.size() - 2), 1}, // the save adds the last CR LF
        {aWithoutCrLf + b, 1},
        {Record("0", "&H1", "a", "b") + Record("1", "2.5", "c", "d"), 1}, // kinds 1 and 2
        {"__CONTENTSNOMBER.0\r\n1\r\na\r\nb\r\n__contensend\r\n" + b, 1},
        {Record("7", "1", "a", "b") + Record("7", "2", "c", "d"), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        HistoryLoadResult r = Load(c.text);
        EXPECT_EQ(r.complete, c.complete);
        ASSERT_EQ(store.count, 2);
        EXPECT_STREQ(EntryAt(store, 0).content, "b");
        EXPECT_STREQ(EntryAt(store, 1).content, "d");
        EXPECT_EQ(Save(), a + b);
    }
}

// The content runs to two bytes before the end marker, whatever those two bytes are; the save
// writes CR LF there, so any other two bytes are lost.
TEST_F(Loaded, ContentEndsTwoBytesBeforeTheEndMarker) {
    for (const char* pair : {"cd", "\n\r", "\r\r", "\n\n"}) {
        HistoryLoadResult r =
            Load(std::string("__ContentsNomber.0\r\n1\r\nt\r\nab") + pair + "__ContensEnd\r\n");
        EXPECT_EQ(r.complete, 0) << pair;
        ASSERT_EQ(store.count, 1);
        EXPECT_STREQ(EntryAt(store, 0).content, "ab");
    }
}

// Every prefix of a file is a file cut short: what it yields is a prefix of the records, each
// complete and unchanged, and the result says whether anything was lost.
TEST(Reader, EveryCutOfTheWorkedExample) {
    HistoryRecord full[HistoryCapacity];
    ASSERT_EQ(ReadHistoryRecords(WorkedExample.data(), WorkedExample.size(), full, HistoryCapacity).records, 2);
    for (size_t cut = 0; cut <= WorkedExample.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        // A copy of exactly the cut bytes, so ASan sees any read past them.
        std::vector<char> bytes(WorkedExample.begin(), WorkedExample.begin() + static_cast<ptrdiff_t>(cut));
        HistoryRecord records[HistoryCapacity];
        HistoryReadResult r = ReadHistoryRecords(bytes.data(), bytes.size(), records, HistoryCapacity);
        const int expectedRecords = cut >= 139 ? 2 : cut >= 70 ? 1 : 0;
        ASSERT_EQ(r.records, expectedRecords);
        // Just past an end marker, or past its CR LF; a lone CR is lost.
        const bool atRecordEnd = cut == 0 || cut == 70 || cut == 72 || cut == 139 || cut == 141;
        EXPECT_EQ(r.complete, atRecordEnd ? 1 : 0);
        for (int i = 0; i < r.records; ++i) {
            EXPECT_EQ(std::string(records[i].title, records[i].titleLength),
                      std::string(full[i].title, full[i].titleLength));
            EXPECT_EQ(std::string(records[i].content, records[i].contentLength),
                      std::string(full[i].content, full[i].contentLength));
            EXPECT_EQ(records[i].kind, full[i].kind);
        }
    }
}

TEST_F(Loaded, CutShortRecordsKeepTheRecordsBeforeThem) {
    const std::string good = Record("0", "1", "kept", "http://kept.jp/");
    const char* damaged[] = {
        "__ContentsNomber.1",                          // no CR LF after the marker
        "__ContentsNomber.1\r\n2",                     // none after the kind line
        "__ContentsNomber.1\r\n2\r\ntitle",            // none after the title line
        "__ContentsNomber.1\r\n2\r\ntitle\r\ncontent", // no end marker
        "__ContentsNomber.1\r\n2\r\ntitle\r\ncontent\r\n__ContensE",
        "__Contents",                                  // cut inside the next marker
    };
    for (const char* tail : damaged) {
        HistoryLoadResult r = Load(good + tail);
        EXPECT_EQ(r.records, 1) << tail;
        EXPECT_EQ(r.complete, 0) << tail;
        ASSERT_EQ(store.count, 1) << tail;
        EXPECT_STREQ(EntryAt(store, 0).title, "kept");
        EXPECT_EQ(store.content[1], nullptr);
        EXPECT_EQ(store.ownedStrings, 2);
    }
}

// Fewer than two bytes between the title line and the end marker: that record is skipped, the
// ones around it load.
TEST_F(Loaded, RecordWithoutRoomForItsContentIsSkipped) {
    for (const char* broken : {"__ContentsNomber.1\r\n1\r\nt\r\n__ContensEnd\r\n",
                               "__ContentsNomber.1\r\n1\r\nt\r\nx__ContensEnd\r\n"}) {
        HistoryLoadResult r = Load(Record("0", "1", "a", "first") + broken + Record("2", "1", "b", "last"));
        EXPECT_EQ(r.complete, 0);
        ASSERT_EQ(store.count, 2);
        EXPECT_STREQ(EntryAt(store, 0).content, "first");
        EXPECT_STREQ(EntryAt(store, 1).content, "last");
    }
}

TEST_F(Loaded, AZeroByteEndsTheText) {
    const std::string first = Record("0", "1", "a", "first");
    HistoryLoadResult r = Load(first + std::string(1, '\0') + Record("1", "1", "b", "lost"));
    EXPECT_EQ(r.records, 1);
    EXPECT_EQ(r.complete, 0);
    r = Load(first + std::string(1, '\0') + "trailing junk");
    EXPECT_EQ(r.records, 1);
    EXPECT_EQ(r.complete, 0);
    r = Load(Record("0", "1", "a", std::string("fir\0st", 6)));
    EXPECT_EQ(r.records, 0);
    EXPECT_EQ(r.complete, 0);
}

TEST_F(Loaded, FailedAllocationKeepsTheEntriesBeforeIt) {
    std::string text = Record("0", "1", "a", "first") + Record("1", "1", "b", "second") +
                       Record("2", "1", "c", "third");
    FailStoreAllocations(3, 1); // the first record's pair, the second's title
    HistoryLoadResult r = Load(text);
    FailStoreAllocations(0, 0);
    EXPECT_EQ(r.complete, 0);
    ASSERT_EQ(store.count, 1);
    EXPECT_STREQ(EntryAt(store, 0).content, "first");
    EXPECT_EQ(store.title[1], nullptr);
    EXPECT_EQ(store.ownedStrings, 2);
}

// Text that the format cannot carry is altered in the file only, one byte per occurrence,
// and no entry appears, disappears or changes beside it.
TEST_F(Loaded, UnstorableTextIsEscapedInTheFileOnly) {
    InitEmptyStore(store);
    const char* contents[] = {
        "http://before.jp/",
        "copied from the history file:\r\n__ContensEnd\r\n__ContentsNomber.3\r\n1\r\n",
        "__CONTENSEND",
        "__contensend__ContensEnd",
        "\x83\x5f_ContensEnd", // a trail byte "_" followed by "_ContensEnd"
        "http://after.jp/",
    };
    const char* titles[] = {"t", "Title\r\nwith a break", "a\r\r\nb", "\r\n", "t\r\n\r\n", "t"};
    for (int i = 5; i >= 0; --i) {
        ASSERT_EQ(InsertAtTop(store, contents[i], EntryKind::Text, titles[i]), 1);
    }
    const std::string saved = Save();
    // The store keeps the text as it was.
    EXPECT_STREQ(EntryAt(store, 1).content, contents[1]);
    EXPECT_STREQ(EntryAt(store, 1).title, titles[1]);

    ReleaseStoreStrings(store);
    ASSERT_EQ(LoadStoreFromText(store, saved.data(), saved.size()).complete, 1);
    ASSERT_EQ(store.count, 6);
    const char* expectedContents[] = {
        "http://before.jp/",
        "copied from the history file:\r\n_-ContensEnd\r\n__ContentsNomber.3\r\n1\r\n",
        "_-CONTENSEND",
        "_-contensend_-ContensEnd",
        "\x83\x5f-ContensEnd",
        "http://after.jp/",
    };
    const char* expectedTitles[] = {"t", "Title \nwith a break", "a\r \nb", " \n", "t \n \n", "t"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_STREQ(EntryAt(store, i).content, expectedContents[i]) << i;
        EXPECT_STREQ(EntryAt(store, i).title, expectedTitles[i]) << i;
    }
    EXPECT_EQ(Save(), saved);
}

// The test's own statement of the escaping: the CR of each title CR LF becomes a blank, the
// second byte of each "__ContensEnd" (any case) in a content becomes "-".
std::string EscapedTitle(std::string t) {
    for (size_t i = 0; i + 1 < t.size(); ++i) {
        if (t[i] == '\r' && t[i + 1] == '\n') {
            t[i] = ' ';
        }
    }
    return t;
}

std::string EscapedContent(std::string c) {
    std::string lower = c;
    for (char& ch : lower) {
        ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
    }
    for (size_t at = lower.find("__contensend"); at != std::string::npos; at = lower.find("__contensend", at + 1)) {
        c[at + 1] = '-';
    }
    return c;
}

// Random stores built from the pieces that trouble this format, saved and loaded again.
TEST_F(Loaded, RandomStoresRoundTrip) {
    const char* pieces[] = {"\r", "\n", "\r\n", "a", "Z", " ", "_", "__ContensEnd", "__contensEND",
                            "__ContentsNomber.", "0", "-", ".", "&H", "\x83", "\x5f", "\x81\x40",
                            "ダ", "表", "\xff", "http://", "\t"};
    std::mt19937 rng(20240607);
    auto randomText = [&](int maxPieces) {
        std::string s;
        for (int n = static_cast<int>(rng() % static_cast<unsigned>(maxPieces + 1)); n > 0; --n) {
            s += pieces[rng() % (sizeof pieces / sizeof pieces[0])];
        }
        return s;
    };
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ReleaseStoreStrings(store);
        InitEmptyStore(store);
        std::vector<Entry> inserted;
        const int n = static_cast<int>(rng() % 129);
        for (int i = 0; i < n; ++i) {
            Entry e{randomText(12), randomText(6), static_cast<int32_t>(rng())};
            if (rng() % 2) {
                e.kind = static_cast<int32_t>(rng() % 3);
            }
            ASSERT_EQ(InsertAtTop(store, e.content.c_str(), static_cast<EntryKind>(e.kind), e.title.c_str()), 1);
            inserted.insert(inserted.begin(), e);
        }
        if (inserted.size() > MaxLiveEntries) {
            inserted.resize(MaxLiveEntries);
        }
        const std::string saved = Save();
        ReleaseStoreStrings(store);
        HistoryLoadResult r = LoadStoreFromText(store, saved.data(), saved.size());
        ASSERT_EQ(r.complete, 1);
        std::vector<Entry> back = Entries();
        ASSERT_EQ(back.size(), inserted.size());
        for (size_t i = 0; i < back.size(); ++i) {
            ASSERT_EQ(back[i].content, EscapedContent(inserted[i].content)) << i;
            ASSERT_EQ(back[i].title, EscapedTitle(inserted[i].title)) << i;
            ASSERT_EQ(back[i].kind, inserted[i].kind) << i;
        }
        ASSERT_EQ(Save(), saved); // once escaped, text is stable
    }
}

} // namespace
