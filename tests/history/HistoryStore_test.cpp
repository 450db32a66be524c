// The history store as its callers see it: the entries in order after each change, what each
// change releases (the entry pushed out at full capacity stays owned until the next insertion),
// failed allocations, and long random sequences checked against a plain model.
#include <gtest/gtest.h>

#include "history/HistoryStore.h"
#include "history/HistoryTestSeams.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "support/StoreBuilder.h"

namespace {

std::string Name(const char* prefix, int n) {
    return prefix + std::to_string(n);
}

// The one store, starting as an absent history file; the shared leak check sees every string
// given back at the end.
class Store : public StoreTest {
protected:
    void SetUp() override {
        FailStoreAllocations(0, 0);
        StoreTest::SetUp();
    }
    void TearDown() override {
        FailStoreAllocations(0, 0);
        StoreTest::TearDown();
    }

    // Inserts entries c<first>.. with titles t<first>..; entry n has kind n % 3.
    void InsertNumbered(int first, int n) {
        for (int i = first; i < first + n; ++i) {
            ASSERT_EQ(
                InsertAtTop(store, Name("c", i).c_str(), static_cast<EntryKind>(i % 3), Name("t", i).c_str()),
                1);
        }
    }

    std::string ContentAt(int slot) const {
        EXPECT_LT(slot, store.count);
        const char* c = EntryAt(store, slot).content;
        return c ? c : "(null)";
    }

    // The live entries c<newest> down to c<oldest>, each with its title and kind, and nothing else.
    void ExpectNumbered(int newest, int oldest) const {
        ASSERT_EQ(store.count, newest - oldest + 1);
        for (int slot = 0; slot < store.count; ++slot) {
            const HistoryEntry e = EntryAt(store, slot);
            ASSERT_EQ(e.content, Name("c", newest - slot)) << slot;
            EXPECT_EQ(e.title, Name("t", newest - slot)) << slot;
            EXPECT_EQ(static_cast<int>(e.kind), (newest - slot) % 3) << slot;
            EXPECT_EQ(FindSerial(store, e.serial), slot);
        }
    }

    // Everything a caller can see of the store, as one text to compare before and after.
    std::string Seen() const {
        std::string seen = "count " + std::to_string(store.count) + ", revision " + std::to_string(store.revision) +
                           ", owned " + std::to_string(store.ownedStrings) + "\n";
        for (int slot = 0; slot < store.count; ++slot) {
            const HistoryEntry e = EntryAt(store, slot);
            seen += std::to_string(e.serial) + " " + std::to_string(static_cast<int>(e.kind)) + " " + e.content +
                    " | " + e.title + "\n";
        }
        return seen;
    }

    // Strings the store should own: a content and title per live entry, plus the pushed-out
    // entry's pair when there is one.
    int Owned(int entries) const { return 2 * entries; }
};

// Whatever the memory held before: nothing in view, nothing owned, nothing released by the first
// changes or by the end.
TEST_F(Store, StartsAsAnAbsentFile) {
    std::memset(&store, 0xA5, sizeof store);
    InitEmptyStore(store);
    EXPECT_EQ(store.count, 0);
    EXPECT_EQ(store.ownedStrings, 0);
    EXPECT_EQ(store.revision, 0u);
    EXPECT_EQ(FindSerial(store, 1), -1);
    ReleaseStoreStrings(store);
    EXPECT_EQ(store.ownedStrings, 0);

    InsertNumbered(0, 1);
    EXPECT_NE(EntryAt(store, 0).serial, 0u);
    RemoveAt(store, 0);
    EXPECT_EQ(store.count, 0);
    EXPECT_EQ(store.ownedStrings, 0);
}

TEST_F(Store, InsertCopiesExactBytes) {
    char content[] = "http://example.com/";
    char title[] = "ページタイトル不明";
    ASSERT_EQ(InsertAtTop(store, content, EntryKind::Url, title), 1);
    content[0] = 'X';
    title[0] = 'X';
    HistoryEntry e = EntryAt(store, 0);
    EXPECT_STREQ(e.content, "http://example.com/");
    EXPECT_STREQ(e.title, "ページタイトル不明");
    EXPECT_EQ(e.kind, EntryKind::Url);
    EXPECT_NE(e.serial, 0u);
}

// 126 -> 127 releases nothing; every insertion at 127 keeps count and releases the reserve
// slot: nothing for the 128th insertion, the first entry ever inserted for the 129th.
TEST_F(Store, InsertionsAroundFullCapacity) {
    InsertNumbered(0, 126);
    ExpectNumbered(125, 0);
    EXPECT_EQ(store.ownedStrings, Owned(126));
    const uint32_t c0 = EntryAt(store, 125).serial;

    InsertNumbered(126, 1);
    ExpectNumbered(126, 0);
    EXPECT_EQ(store.ownedStrings, Owned(127));
    const uint32_t c1 = EntryAt(store, 125).serial;

    InsertNumbered(127, 1); // 128th: c0 leaves the view but stays owned
    ExpectNumbered(127, 1);
    EXPECT_EQ(store.ownedStrings, Owned(128));
    EXPECT_EQ(FindSerial(store, c0), -1);

    InsertNumbered(128, 1); // 129th: c0 is released, c1 is pushed out and kept
    ExpectNumbered(128, 2);
    EXPECT_EQ(store.ownedStrings, Owned(128));
    EXPECT_EQ(FindSerial(store, c0), -1);
    EXPECT_EQ(FindSerial(store, c1), -1);
}

TEST_F(Store, FillingReleasesNothingBeforeThe129th) {
    for (int n = 1; n <= 130; ++n) {
        InsertNumbered(n - 1, 1);
        EXPECT_EQ(store.count, n < 127 ? n : 127);
        EXPECT_EQ(store.ownedStrings, Owned(n < 128 ? n : 128)) << n;
    }
}

// A removal at full capacity keeps the pushed-out entry out of view; the next insertion
// takes it back to the reserve slot without releasing it; the one after releases it.
TEST_F(Store, ThePushedOutEntryStaysOutOfViewAfterARemovalAtFullCapacity) {
    InsertNumbered(0, 128); // c127..c1 in view, c0 pushed out
    RemoveAt(store, 50);    // c77 goes
    EXPECT_EQ(store.count, 126);
    EXPECT_EQ(store.ownedStrings, Owned(127)); // c0 still owned
    EXPECT_EQ(ContentAt(49), "c78");
    EXPECT_EQ(ContentAt(50), "c76");
    EXPECT_EQ(ContentAt(125), "c1");
    for (int i = 0; i < store.count; ++i) {
        EXPECT_NE(ContentAt(i), "c0");
    }

    InsertNumbered(128, 1);
    EXPECT_EQ(store.count, 127);
    EXPECT_EQ(store.ownedStrings, Owned(128)); // nothing released, c0 not back in view
    EXPECT_EQ(ContentAt(0), "c128");
    EXPECT_EQ(ContentAt(126), "c1");
    const uint32_t c1 = EntryAt(store, 126).serial;

    InsertNumbered(129, 1);
    EXPECT_EQ(store.count, 127);
    EXPECT_EQ(store.ownedStrings, Owned(128)); // c0 released, c1 pushed out
    EXPECT_EQ(ContentAt(0), "c129");
    EXPECT_EQ(ContentAt(126), "c2");
    EXPECT_EQ(FindSerial(store, c1), -1);
}

TEST_F(Store, RemovalsDownToEmptyKeepThePushedOutEntryOwnedAndOutOfView) {
    InsertNumbered(0, 128);
    for (int left = 126; left >= 0; --left) {
        RemoveAt(store, left % 2 ? 0 : left); // alternately the newest and the oldest
        ASSERT_EQ(store.count, left);
        EXPECT_EQ(store.ownedStrings, Owned(left + 1));
    }
    InsertNumbered(200, 1); // c0 stays owned and out of view; the end releases it
    ExpectNumbered(200, 200);
    EXPECT_EQ(store.ownedStrings, Owned(2));
}

TEST_F(Store, RemovingTheOnlyEntryLeavesAnEmptyStore) {
    InsertNumbered(0, 1);
    const uint32_t serial = EntryAt(store, 0).serial;
    RemoveAt(store, 0);
    EXPECT_EQ(store.count, 0);
    EXPECT_EQ(FindSerial(store, serial), -1);
    EXPECT_EQ(store.ownedStrings, Owned(0));
}

TEST_F(Store, RemovingTheOldestAtFullCapacityWithAnEmptyReserve) {
    InsertNumbered(0, 127);
    RemoveAt(store, 126);
    ExpectNumbered(126, 1);
    EXPECT_EQ(store.ownedStrings, Owned(126));
}

TEST_F(Store, PromoteToTopAtBothEnds) {
    InsertNumbered(0, 10); // c9..c0
    std::vector<uint32_t> serials;
    for (int i = 0; i < 10; ++i) {
        serials.push_back(EntryAt(store, i).serial);
    }

    PromoteToTop(store, 0);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(ContentAt(i), Name("c", 9 - i));
        EXPECT_EQ(EntryAt(store, i).serial, serials[i]);
    }

    PromoteToTop(store, 9);
    EXPECT_EQ(ContentAt(0), "c0");
    EXPECT_STREQ(EntryAt(store, 0).title, "t0");
    EXPECT_EQ(static_cast<int>(EntryAt(store, 0).kind), 0);
    EXPECT_EQ(EntryAt(store, 0).serial, serials[9]);
    for (int i = 1; i < 10; ++i) {
        EXPECT_EQ(ContentAt(i), Name("c", 10 - i));
        EXPECT_EQ(EntryAt(store, i).serial, serials[i - 1]);
    }
    EXPECT_EQ(store.count, 10);
    EXPECT_EQ(store.ownedStrings, Owned(10));
    EXPECT_EQ(FindSerial(store, serials[9]), 0);
    EXPECT_EQ(FindSerial(store, serials[0]), 1);
}

// The pushed-out entry is neither released nor brought back by a move; the next insertion
// releases it and pushes out the oldest in view.
TEST_F(Store, PromoteAtFullCapacityLeavesThePushedOutEntryAlone) {
    InsertNumbered(0, 128);
    PromoteToTop(store, 126);
    EXPECT_EQ(store.count, 127);
    EXPECT_EQ(ContentAt(0), "c1");
    EXPECT_EQ(ContentAt(1), "c127");
    EXPECT_EQ(ContentAt(126), "c2");
    EXPECT_EQ(store.ownedStrings, Owned(128));
    const uint32_t c2 = EntryAt(store, 126).serial;

    InsertNumbered(128, 1);
    EXPECT_EQ(ContentAt(0), "c128");
    EXPECT_EQ(ContentAt(1), "c1");
    EXPECT_EQ(ContentAt(126), "c3");
    EXPECT_EQ(FindSerial(store, c2), -1);
    EXPECT_EQ(store.ownedStrings, Owned(128));
}

TEST(ShouldPromote, OnlyOutsideTheFiveNewest) {
    for (int s = 0; s <= 4; ++s) {
        EXPECT_EQ(ShouldPromote(s), 0) << s;
    }
    for (int s : {5, 6, 100, 126}) {
        EXPECT_EQ(ShouldPromote(s), 1) << s;
    }
    EXPECT_EQ(ShouldPromote(-1), 0);
}

TEST_F(Store, UnknownKindsMoveLikeAnyOther) {
    ASSERT_EQ(InsertAtTop(store, "a", static_cast<EntryKind>(-7), "ta"), 1);
    ASSERT_EQ(InsertAtTop(store, "b", EntryKind::Text, "tb"), 1);
    ASSERT_EQ(InsertAtTop(store, "c", static_cast<EntryKind>(0), "tc"), 1);
    PromoteToTop(store, 2);
    EXPECT_EQ(static_cast<int>(EntryAt(store, 0).kind), -7);
    RemoveAt(store, 1);
    EXPECT_EQ(static_cast<int>(EntryAt(store, 1).kind), 2);
    EXPECT_EQ(static_cast<int>(EntryAt(store, 0).kind), -7);
}

// A failed copy leaves the store as it was, the pushed-out entry included: the insertion that
// then succeeds is the one that releases it.
TEST_F(Store, FailedInsertLeavesTheStoreUnchanged) {
    InsertNumbered(0, 128);
    const std::string before = Seen();
    for (int succeed : {0, 1}) {
        FailStoreAllocations(succeed, 1);
        EXPECT_EQ(InsertAtTop(store, "new", EntryKind::Text, "3 Byte"), 0);
        EXPECT_EQ(Seen(), before) << succeed;
    }
    FailStoreAllocations(0, 0);
    const uint32_t c1 = EntryAt(store, 126).serial;
    EXPECT_EQ(InsertAtTop(store, "new", EntryKind::Text, "3 Byte"), 1);
    EXPECT_EQ(ContentAt(0), "new");
    EXPECT_EQ(ContentAt(126), "c2");
    EXPECT_EQ(FindSerial(store, c1), -1);
    EXPECT_EQ(store.ownedStrings, Owned(128));
    for (int i = 1; i < store.count; ++i) {
        EXPECT_NE(EntryAt(store, i).serial, EntryAt(store, 0).serial) << "a serial handed out twice";
    }
}

TEST_F(Store, InjectedFailuresReachStringsFilledInPlace) {
    FailStoreAllocations(1, 1);
    char* first = StoreAllocString(store, 4);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::string(first, 5), std::string(5, '\0'));
    EXPECT_EQ(StoreAllocString(store, 4), nullptr);
    EXPECT_EQ(store.ownedStrings, Owned(0) + 1);
    StoreFreeString(store, first);
    EXPECT_EQ(store.ownedStrings, Owned(0));
}

// The model: the live entries in order, and the pushed-out entry the store still owns, which no
// caller sees but the strings it owns count.
struct ModelEntry {
    std::string content;
    std::string title;
    int kind;
    uint32_t serial;
};

void ExpectMatchesModel(const HistoryStore& store, const std::vector<ModelEntry>& live,
                        const ModelEntry* pushedOut) {
    ASSERT_EQ(store.count, static_cast<int>(live.size()));
    for (int i = 0; i < store.count; ++i) {
        HistoryEntry e = EntryAt(store, i);
        ASSERT_NE(e.content, nullptr);
        ASSERT_NE(e.title, nullptr);
        ASSERT_EQ(e.content, live[i].content) << i;
        ASSERT_EQ(e.title, live[i].title) << i;
        ASSERT_EQ(static_cast<int>(e.kind), live[i].kind) << i;
        ASSERT_EQ(e.serial, live[i].serial) << i;
    }
    if (store.count > 0) {
        ASSERT_EQ(FindSerial(store, live.front().serial), 0);
        ASSERT_EQ(FindSerial(store, live.back().serial), store.count - 1);
    }
    if (pushedOut) {
        ASSERT_EQ(FindSerial(store, pushedOut->serial), -1);
    }
    const int entries = static_cast<int>(live.size()) + (pushedOut ? 1 : 0);
    ASSERT_EQ(store.ownedStrings, 2 * entries);
    // No two entries share a string, so that none can be released twice.
    std::vector<const char*> seen;
    for (int i = 0; i < store.count; ++i) {
        seen.push_back(EntryAt(store, i).content);
        seen.push_back(EntryAt(store, i).title);
    }
    std::sort(seen.begin(), seen.end());
    ASSERT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
}

void RunRandomSequence(uint32_t seed, int steps) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    HistoryStore& store = *new HistoryStore;
    InitEmptyStore(store);
    std::mt19937 rng(seed);
    std::vector<ModelEntry> live;
    ModelEntry pushedOut{};
    bool hasPushedOut = false;
    int made = 0;

    for (int step = 0; step < steps; ++step) {
        const int n = static_cast<int>(live.size());
        // Inserting more often than removing keeps the store near full capacity most of the time.
        const int op = n == 0 ? 0 : static_cast<int>(rng() % 10);
        if (op < 6) {
            ModelEntry e{Name("content ", made), Name("title ", made), static_cast<int>(rng() % 4), 0};
            if (rng() % 8 == 0) {
                e.content.clear();
                e.title.clear();
            }
            ++made;
            ASSERT_EQ(InsertAtTop(store, e.content.c_str(), static_cast<EntryKind>(e.kind), e.title.c_str()),
                      1);
            e.serial = EntryAt(store, 0).serial;
            if (n == MaxLiveEntries) {
                pushedOut = live.back();
                hasPushedOut = true;
                live.pop_back();
            }
            live.insert(live.begin(), e);
        } else if (op < 8) {
            const int s = static_cast<int>(rng() % n);
            PromoteToTop(store, s);
            ModelEntry e = live[s];
            live.erase(live.begin() + s);
            live.insert(live.begin(), e);
        } else if (op < 9) {
            const int s = static_cast<int>(rng() % n);
            RemoveAt(store, s);
            live.erase(live.begin() + s);
        } else {
            // Several removals in one action, from the highest slot down.
            std::set<int> chosen;
            for (int k = static_cast<int>(rng() % 6); k >= 0; --k) {
                chosen.insert(static_cast<int>(rng() % n));
            }
            for (auto it = chosen.rbegin(); it != chosen.rend(); ++it) {
                RemoveAt(store, *it);
                live.erase(live.begin() + *it);
            }
        }
        ExpectMatchesModel(store, live, hasPushedOut ? &pushedOut : nullptr);
        if (testing::Test::HasFatalFailure()) {
            break;
        }
    }
    ReleaseStoreStrings(store);
    EXPECT_EQ(store.ownedStrings, 0);
    delete &store;
}

TEST(StoreModel, RandomSequencesMatchAPlainModel) {
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        RunRandomSequence(seed, 2500);
        if (HasFatalFailure()) {
            return;
        }
    }
}

} // namespace

namespace {

TEST_F(Store, ATitleFindsItsEntryWhereverItMoved) {
    InsertNumbered(0, 8);
    const uint32_t serial = EntryAt(store, 6).serial; // c1
    PromoteToTop(store, 6);
    ASSERT_EQ(store.count, 8);
    EXPECT_EQ(SetEntryTitle(store, serial, "arrived"), 1);
    EXPECT_STREQ(EntryAt(store, 0).title, "arrived");
    EXPECT_EQ(ContentAt(0), "c1");
    EXPECT_EQ(store.ownedStrings, Owned(8));

    // A failed copy keeps the old title; an entry that is gone takes none.
    FailStoreAllocations(0, 1);
    EXPECT_EQ(SetEntryTitle(store, serial, "lost"), 0);
    FailStoreAllocations(0, 0);
    EXPECT_STREQ(EntryAt(store, 0).title, "arrived");
    RemoveAt(store, 0);
    EXPECT_EQ(SetEntryTitle(store, serial, "too late"), 0);
    EXPECT_EQ(SetEntryTitle(store, 0, "no entry"), 0);
    EXPECT_EQ(store.ownedStrings, Owned(7));
}

TEST_F(Store, RevisionCountsEveryChangeAndNothingElse) {
    const uint32_t start = store.revision;
    InsertNumbered(0, 7);
    EXPECT_EQ(store.revision, start + 7);
    PromoteToTop(store, 0); // already the newest: no change
    FindSerial(store, EntryAt(store, 3).serial);
    EXPECT_EQ(store.revision, start + 7);
    PromoteToTop(store, 5);
    RemoveAt(store, 2);
    SetEntryTitle(store, EntryAt(store, 0).serial, "t");
    EXPECT_EQ(store.revision, start + 10);
    FailStoreAllocations(0, 1);
    EXPECT_EQ(InsertAtTop(store, "x", EntryKind::Text, "1 Byte"), 0);
    FailStoreAllocations(0, 0);
    EXPECT_EQ(store.revision, start + 10);
}

// A history file read late (it was held at start-up) goes below this run's entries.
class Merge : public Store {
protected:
    void SetUp() override {
        Store::SetUp();
        InitEmptyStore(older);
    }
    void TearDown() override {
        ReleaseStoreStrings(older);
        EXPECT_EQ(older.ownedStrings, 0);
        Store::TearDown();
    }

    // older gets entries o<first>.. newest first, each titled t<n>.
    void FillOlder(int first, int n) {
        for (int i = first + n - 1; i >= first; --i) {
            ASSERT_EQ(InsertAtTop(older, Name("o", i).c_str(), EntryKind::Url, Name("t", i).c_str()), 1);
        }
    }

    // older holds just these entries, newest first.
    void OlderHolds(std::initializer_list<const char*> contents) {
        ReleaseStoreStrings(older);
        InitEmptyStore(older);
        for (auto it = std::rbegin(contents); it != std::rend(contents); ++it) {
            ASSERT_EQ(InsertAtTop(older, *it, EntryKind::Text, "t"), 1);
        }
    }

    static int IgnoringCase(const char* a, const char* b) {
        for (;; ++a, ++b) {
            const int x = (*a >= 'A' && *a <= 'Z') ? *a + 32 : *a;
            const int y = (*b >= 'A' && *b <= 'Z') ? *b + 32 : *b;
            if (x != y || x == 0) {
                return x - y;
            }
        }
    }

    std::vector<std::string> Contents() const {
        std::vector<std::string> all;
        for (int i = 0; i < store.count; ++i) {
            all.push_back(ContentAt(i));
        }
        return all;
    }

    HistoryStore older;
};

TEST_F(Merge, OlderEntriesGoBelowWithoutTheRunsDuplicates) {
    InsertNumbered(0, 2); // c1, c0
    ASSERT_EQ(InsertAtTop(store, "O2", EntryKind::Text, "own title"), 1);
    FillOlder(0, 4); // o0..o3
    const uint32_t revision = store.revision;
    const uint32_t ownSerial = store.serial[0];
    EXPECT_EQ(MergeOlderEntries(store, older, IgnoringCase), 3);
    EXPECT_EQ(Contents(), (std::vector<std::string>{"O2", "c1", "c0", "o0", "o1", "o3"}));
    // The run's copy of a duplicate stays as it was; the others keep their titles and kinds.
    EXPECT_STREQ(EntryAt(store, 0).title, "own title");
    EXPECT_EQ(EntryAt(store, 0).serial, ownSerial);
    EXPECT_STREQ(EntryAt(store, 5).title, "t3");
    EXPECT_EQ(EntryAt(store, 5).kind, EntryKind::Url);
    std::set<uint32_t> serials;
    for (int i = 0; i < store.count; ++i) {
        serials.insert(EntryAt(store, i).serial);
    }
    EXPECT_EQ(serials.size(), 6u);
    EXPECT_EQ(serials.count(0), 0u);
    EXPECT_EQ(store.revision, revision + 1);
    EXPECT_EQ(store.ownedStrings, Owned(6));
    EXPECT_EQ(older.count, 4);
}

TEST_F(Merge, AtMost127RemainAndTheReserveGoes) {
    InsertNumbered(0, 128); // full, with a pushed-out entry in the reserve slot
    RemoveAt(store, 0);
    RemoveAt(store, 0); // 125 live, the pushed-out c0 just past them
    FillOlder(0, 5);
    int leftOut = -1;
    EXPECT_EQ(MergeOlderEntries(store, older, IgnoringCase, &leftOut), 2);
    EXPECT_EQ(leftOut, 3);
    EXPECT_EQ(store.count, 127);
    EXPECT_EQ(ContentAt(125), "o0");
    EXPECT_EQ(ContentAt(126), "o1");
    EXPECT_EQ(store.ownedStrings, Owned(127)); // the pushed-out c0 released

    // Already full: nothing comes in and nothing changes. The run's own entries are never left
    // out, only those it does not have.
    const uint32_t revision = store.revision;
    EXPECT_EQ(MergeOlderEntries(store, older, IgnoringCase, &leftOut), 0);
    EXPECT_EQ(leftOut, 3);
    EXPECT_EQ(store.revision, revision);
    OlderHolds({"c125", "C1"});
    EXPECT_EQ(MergeOlderEntries(store, older, IgnoringCase, &leftOut), 0);
    EXPECT_EQ(leftOut, 0);
}

// Two writers of one full history: each side's new entries come in above what both have, the
// oldest shared one goes as any new entry pushes it out, and nothing of the other's is left out.
TEST_F(Merge, AnotherWritersNewerEntriesGoAboveWhatBothHave) {
    InsertNumbered(0, 126); // c125 .. c0
    ASSERT_EQ(InsertAtTop(store, "mine", EntryKind::Text, "t"), 1);
    for (int i = 0; i < 126; ++i) {
        ASSERT_EQ(InsertAtTop(older, Name("c", i).c_str(), EntryKind::Text, "t"), 1);
    }
    ASSERT_EQ(InsertAtTop(older, "theirs", EntryKind::Text, "t"), 1);
    const uint32_t mine = store.serial[0];
    int leftOut = -1;
    EXPECT_EQ(MergeChangedEntries(store, older, IgnoringCase, &leftOut), 1);
    EXPECT_EQ(leftOut, 0);
    ASSERT_EQ(store.count, 127);
    EXPECT_EQ(ContentAt(0), "mine");
    EXPECT_EQ(EntryAt(store, 0).serial, mine);
    EXPECT_EQ(ContentAt(1), "theirs");
    EXPECT_EQ(ContentAt(2), "c125");
    EXPECT_EQ(ContentAt(126), "c1");
    EXPECT_EQ(store.ownedStrings, Owned(127)); // c0 released

    // What lies below the shared entries and finds no room is the other's loss, and is counted.
    OlderHolds({"c125", "below"});
    EXPECT_EQ(MergeChangedEntries(store, older, IgnoringCase, &leftOut), 0);
    EXPECT_EQ(leftOut, 1);

    // Entries only the run has are never pushed out for the other's: those go below instead.
    OlderHolds({"x1", "x2", "c125"});
    EXPECT_EQ(MergeChangedEntries(store, older, IgnoringCase, &leftOut), 0);
    EXPECT_EQ(leftOut, 2);
    EXPECT_EQ(ContentAt(126), "c1");

    // With nothing in common, the other's entries go below, as a late-read file's do.
    ReleaseStoreStrings(store);
    InitEmptyStore(store);
    InsertNumbered(0, 2);
    OlderHolds({"c125", "below"});
    EXPECT_EQ(MergeChangedEntries(store, older, IgnoringCase, &leftOut), 2);
    EXPECT_EQ(Contents(), (std::vector<std::string>{"c1", "c0", "c125", "below"}));
}

TEST_F(Merge, IntoAnEmptyRunAndFromAnEmptyFile) {
    EXPECT_EQ(MergeOlderEntries(store, older, IgnoringCase), 0);
    EXPECT_EQ(store.revision, 0u);
    FillOlder(0, 3);
    EXPECT_EQ(MergeOlderEntries(store, older, IgnoringCase), 3);
    EXPECT_EQ(Contents(), (std::vector<std::string>{"o0", "o1", "o2"}));
    // The merged store goes on like any other.
    InsertNumbered(0, 1);
    RemoveAt(store, 3);
    EXPECT_EQ(Contents(), (std::vector<std::string>{"c0", "o0", "o1"}));
}

TEST_F(Merge, AFailedCopyLeavesTheStoreUnchanged) {
    InsertNumbered(0, 2);
    FillOlder(0, 3);
    for (int succeed = 0; succeed < 6; ++succeed) {
        const std::string before = Seen();
        FailStoreAllocations(succeed, 1);
        EXPECT_EQ(MergeOlderEntries(store, older, IgnoringCase), -1) << succeed;
        FailStoreAllocations(succeed, 1);
        EXPECT_EQ(MergeChangedEntries(store, older, IgnoringCase, nullptr), -1) << succeed;
        FailStoreAllocations(0, 0);
        EXPECT_EQ(Seen(), before) << succeed;
    }
    EXPECT_EQ(MergeOlderEntries(store, older, IgnoringCase), 3);
}

} // namespace
