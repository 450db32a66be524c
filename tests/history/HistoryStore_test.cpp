// The history store's slot rules: the reserve slot, what each change releases, failed
// allocations, and long random sequences checked against a plain model.
#include <gtest/gtest.h>

#include "history/HistoryStore.h"
#include "history/HistoryTestSeams.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

std::string Name(const char* prefix, int n) {
    return prefix + std::to_string(n);
}

// A store that starts as an absent history file leaves it and must give back every string.
class Store : public testing::Test {
protected:
    void SetUp() override {
        FailStoreAllocations(0, 0);
        InitEmptyStore(store);
    }
    void TearDown() override {
        FailStoreAllocations(0, 0);
        ReleaseStoreStrings(store);
        EXPECT_EQ(store.ownedStrings, 0);
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
        const char* c = store.content[slot];
        return c ? c : "(null)";
    }

    // Strings the store should own: a content and title per live entry, plus the pushed-out
    // entry's pair when there is one.
    int Owned(int entries) const { return 2 * entries; }

    HistoryStore store;
};

TEST_F(Store, StartsAsAnAbsentFile) {
    EXPECT_EQ(store.count, 0);
    for (int i = 0; i < HistoryCapacity; ++i) {
        EXPECT_EQ(store.content[i], nullptr);
        EXPECT_EQ(store.title[i], nullptr);
        EXPECT_EQ(static_cast<int>(store.kind[i]), 0);
    }
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
    EXPECT_EQ(store.count, 126);
    EXPECT_EQ(store.ownedStrings, Owned(126));

    InsertNumbered(126, 1);
    EXPECT_EQ(store.count, 127);
    EXPECT_EQ(store.ownedStrings, Owned(127));
    EXPECT_EQ(ContentAt(126), "c0");
    EXPECT_EQ(store.content[127], nullptr);

    InsertNumbered(127, 1); // 128th: c0 leaves the live range but stays owned
    EXPECT_EQ(store.count, 127);
    EXPECT_EQ(store.ownedStrings, Owned(128));
    EXPECT_EQ(ContentAt(0), "c127");
    EXPECT_EQ(ContentAt(126), "c1");
    EXPECT_EQ(ContentAt(127), "c0");
    EXPECT_STREQ(store.title[127], "t0");
    EXPECT_EQ(FindSerial(store, store.serial[127]), -1);

    InsertNumbered(128, 1); // 129th: c0 is released, c1 takes the reserve slot
    EXPECT_EQ(store.count, 127);
    EXPECT_EQ(store.ownedStrings, Owned(128));
    EXPECT_EQ(ContentAt(0), "c128");
    EXPECT_EQ(ContentAt(126), "c2");
    EXPECT_EQ(ContentAt(127), "c1");
    for (int i = 0; i < HistoryCapacity; ++i) {
        EXPECT_NE(ContentAt(i), "c0") << i;
    }
    EXPECT_EQ(static_cast<int>(store.kind[127]), 1);
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
TEST_F(Store, ReserveSlotWayBackAfterRemovalAtFullCapacity) {
    InsertNumbered(0, 128); // live c127..c1, reserve c0
    RemoveAt(store, 50);    // c77 goes
    EXPECT_EQ(store.count, 126);
    EXPECT_EQ(store.ownedStrings, Owned(127));
    EXPECT_EQ(ContentAt(49), "c78");
    EXPECT_EQ(ContentAt(50), "c76");
    EXPECT_EQ(ContentAt(125), "c1");
    EXPECT_EQ(ContentAt(126), "c0"); // just past the live range, still owned
    for (int i = 0; i < store.count; ++i) {
        EXPECT_NE(ContentAt(i), "c0");
    }

    InsertNumbered(128, 1);
    EXPECT_EQ(store.count, 127);
    EXPECT_EQ(store.ownedStrings, Owned(128)); // nothing released
    EXPECT_EQ(ContentAt(126), "c1");
    EXPECT_EQ(ContentAt(127), "c0");

    InsertNumbered(129, 1);
    EXPECT_EQ(store.ownedStrings, Owned(128)); // c0 released, c1 pushed out
    EXPECT_EQ(ContentAt(127), "c1");
    EXPECT_EQ(ContentAt(126), "c2");
}

TEST_F(Store, RemovalsDownToEmptyKeepThePushedOutEntryJustPastTheLiveRange) {
    InsertNumbered(0, 128);
    for (int left = 126; left >= 0; --left) {
        RemoveAt(store, left % 2 ? 0 : left); // alternately the newest and the oldest
        ASSERT_EQ(store.count, left);
        EXPECT_EQ(ContentAt(left), "c0");
        EXPECT_EQ(store.ownedStrings, Owned(left + 1));
    }
    InsertNumbered(200, 1); // the entry comes back just past the live range, not into view
    EXPECT_EQ(store.count, 1);
    EXPECT_EQ(ContentAt(0), "c200");
    EXPECT_EQ(ContentAt(1), "c0");
}

TEST_F(Store, RemovingTheOnlyEntryLeavesAnEmptyStore) {
    InsertNumbered(0, 1);
    RemoveAt(store, 0);
    EXPECT_EQ(store.count, 0);
    EXPECT_EQ(store.content[0], nullptr);
    EXPECT_EQ(store.ownedStrings, Owned(0));
}

TEST_F(Store, RemovingTheOldestAtFullCapacityWithAnEmptyReserve) {
    InsertNumbered(0, 127);
    RemoveAt(store, 126);
    EXPECT_EQ(store.count, 126);
    EXPECT_EQ(store.content[126], nullptr);
    EXPECT_EQ(store.ownedStrings, Owned(126));
}

TEST_F(Store, PromoteToTopAtBothEnds) {
    InsertNumbered(0, 10); // c9..c0
    std::vector<uint32_t> serials(store.serial, store.serial + 10);

    PromoteToTop(store, 0);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(ContentAt(i), Name("c", 9 - i));
        EXPECT_EQ(store.serial[i], serials[i]);
    }

    PromoteToTop(store, 9);
    EXPECT_EQ(ContentAt(0), "c0");
    EXPECT_STREQ(store.title[0], "t0");
    EXPECT_EQ(static_cast<int>(store.kind[0]), 0);
    EXPECT_EQ(store.serial[0], serials[9]);
    for (int i = 1; i < 10; ++i) {
        EXPECT_EQ(ContentAt(i), Name("c", 10 - i));
        EXPECT_EQ(store.serial[i], serials[i - 1]);
    }
    EXPECT_EQ(store.count, 10);
    EXPECT_EQ(store.ownedStrings, Owned(10));
    EXPECT_EQ(FindSerial(store, serials[9]), 0);
    EXPECT_EQ(FindSerial(store, serials[0]), 1);
}

TEST_F(Store, PromoteAtFullCapacityLeavesTheReserveSlotAlone) {
    InsertNumbered(0, 128);
    PromoteToTop(store, 126);
    EXPECT_EQ(ContentAt(0), "c1");
    EXPECT_EQ(ContentAt(126), "c2");
    EXPECT_EQ(ContentAt(127), "c0");
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

// A failed copy leaves every byte of the store as it was, the reserve slot's entry included.
TEST_F(Store, FailedInsertLeavesTheStoreUnchanged) {
    InsertNumbered(0, 128);
    for (int succeed : {0, 1}) {
        static HistoryStore before;
        std::memcpy(&before, &store, sizeof store);
        FailStoreAllocations(succeed, 1);
        EXPECT_EQ(InsertAtTop(store, "new", EntryKind::Text, "3 Byte"), 0);
        EXPECT_EQ(std::memcmp(&before, &store, sizeof store), 0) << succeed;
    }
    FailStoreAllocations(0, 0);
    EXPECT_EQ(InsertAtTop(store, "new", EntryKind::Text, "3 Byte"), 1);
    EXPECT_EQ(ContentAt(0), "new");
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

// The model: the live entries in order, and the pushed-out entry the store still owns.
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
    const int past = store.count;
    if (pushedOut) {
        ASSERT_NE(store.content[past], nullptr);
        ASSERT_EQ(std::string(store.content[past]), pushedOut->content);
        ASSERT_EQ(std::string(store.title[past]), pushedOut->title);
        ASSERT_EQ(FindSerial(store, pushedOut->serial), -1);
    } else {
        ASSERT_EQ(store.content[past], nullptr);
        ASSERT_EQ(store.title[past], nullptr);
    }
    const int entries = static_cast<int>(live.size()) + (pushedOut ? 1 : 0);
    ASSERT_EQ(store.ownedStrings, 2 * entries);
    // No owned string is referenced twice, so none can be released twice.
    std::vector<const char*> seen;
    for (int i = 0; i < entries; ++i) {
        seen.push_back(store.content[i]);
        seen.push_back(store.title[i]);
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
            e.serial = store.serial[0];
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
    EXPECT_STREQ(store.title[0], "arrived");
    EXPECT_EQ(ContentAt(0), "c1");
    EXPECT_EQ(store.ownedStrings, Owned(8));

    // A failed copy keeps the old title; an entry that is gone takes none.
    FailStoreAllocations(0, 1);
    EXPECT_EQ(SetEntryTitle(store, serial, "lost"), 0);
    FailStoreAllocations(0, 0);
    EXPECT_STREQ(store.title[0], "arrived");
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
    EXPECT_STREQ(store.title[0], "own title");
    EXPECT_EQ(store.serial[0], ownSerial);
    EXPECT_STREQ(store.title[5], "t3");
    EXPECT_EQ(store.kind[5], EntryKind::Url);
    std::set<uint32_t> serials(store.serial, store.serial + store.count);
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
    EXPECT_EQ(MergeOlderEntries(store, older, IgnoringCase), 2);
    EXPECT_EQ(store.count, 127);
    EXPECT_EQ(ContentAt(125), "o0");
    EXPECT_EQ(ContentAt(126), "o1");
    EXPECT_EQ(store.content[127], nullptr);
    EXPECT_EQ(store.ownedStrings, Owned(127));

    // Already full: nothing comes in and nothing changes.
    const uint32_t revision = store.revision;
    EXPECT_EQ(MergeOlderEntries(store, older, IgnoringCase), 0);
    EXPECT_EQ(store.revision, revision);
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
        HistoryStore before;
        std::memcpy(&before, &store, sizeof store);
        FailStoreAllocations(succeed, 1);
        EXPECT_EQ(MergeOlderEntries(store, older, IgnoringCase), -1) << succeed;
        FailStoreAllocations(0, 0);
        EXPECT_EQ(std::memcmp(&before, &store, sizeof store), 0) << succeed;
    }
    EXPECT_EQ(MergeOlderEntries(store, older, IgnoringCase), 3);
}

} // namespace
