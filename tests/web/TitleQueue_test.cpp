// The waiting line of title downloads: copy order, entries that have gone, a full line, and the
// two limits.
#include "web/TitleQueue.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

// The serials still in the history.
struct LiveSet {
    std::set<uint32_t> serials;
    static int IsLive(uint32_t serial) { return current->serials.count(serial) ? 1 : 0; }
    static inline LiveSet* current = nullptr;
};

class TitleQueueTest : public testing::Test {
protected:
    void SetUp() override {
        InitTitleQueue(queue);
        LiveSet::current = &live;
    }

    void Add(uint32_t serial) {
        live.serials.insert(serial);
        EnqueueTitle(queue, serial, LiveSet::IsLive);
    }
    std::vector<uint32_t> TakeAll() {
        std::vector<uint32_t> taken;
        for (uint32_t s; (s = TakeNextTitle(queue, LiveSet::IsLive)) != 0;) {
            taken.push_back(s);
        }
        return taken;
    }

    TitleQueue queue;
    LiveSet live;
};

TEST_F(TitleQueueTest, DownloadsStartInCopyOrder) {
    for (uint32_t s : {7u, 3u, 9u}) {
        Add(s);
    }
    EXPECT_EQ(TakeAll(), (std::vector<uint32_t>{7, 3, 9}));
    EXPECT_EQ(queue.count, 0);
}

TEST_F(TitleQueueTest, EntriesThatHaveGoneAreNeverStarted) {
    for (uint32_t s = 1; s <= 6; ++s) {
        Add(s);
    }
    live.serials.erase(1); // the oldest waiting one, deleted
    live.serials.erase(4); // one in the middle, pushed out
    live.serials.erase(6); // the newest
    EXPECT_EQ(TakeNextTitle(queue, LiveSet::IsLive), 2u);
    EXPECT_EQ(TakeAll(), (std::vector<uint32_t>{3, 5}));
    live.serials.clear();
    Add(8);
    live.serials.clear();
    EXPECT_EQ(TakeNextTitle(queue, LiveSet::IsLive), 0u);
}

TEST_F(TitleQueueTest, AFullLineMakesRoomFromEntriesThatHaveGone) {
    for (uint32_t s = 1; s <= TitleQueueCapacity; ++s) {
        Add(s);
    }
    // The history holds at most 127 live entries: adding one more pushed one out.
    live.serials.erase(40);
    Add(1000);
    std::vector<uint32_t> expected;
    for (uint32_t s = 1; s <= TitleQueueCapacity; ++s) {
        if (s != 40) {
            expected.push_back(s);
        }
    }
    expected.push_back(1000);
    EXPECT_EQ(TakeAll(), expected);
}

TEST_F(TitleQueueTest, AFullLineOfLiveEntriesDropsTheOldest) {
    for (uint32_t s = 1; s <= TitleQueueCapacity + 3; ++s) {
        Add(s);
    }
    const std::vector<uint32_t> taken = TakeAll();
    ASSERT_EQ(taken.size(), static_cast<size_t>(TitleQueueCapacity));
    EXPECT_EQ(taken.front(), 4u);
    EXPECT_EQ(taken.back(), static_cast<uint32_t>(TitleQueueCapacity + 3));
}

TEST_F(TitleQueueTest, TheLineWrapsAroundItsEnd) {
    for (int round = 0; round < 3; ++round) {
        for (uint32_t s = 1; s <= 100; ++s) {
            Add(round * 1000 + s);
        }
        const std::vector<uint32_t> taken = TakeAll();
        ASSERT_EQ(taken.size(), 100u);
        EXPECT_EQ(taken.front(), round * 1000 + 1u);
        EXPECT_EQ(taken.back(), round * 1000 + 100u);
    }
}

TEST(DownloadLimits, FourRunningAndEightThreadsAtMost) {
    struct Case {
        int running;
        int threads;
        int may;
    };
    const Case cases[] = {
        {0, 0, 1}, {3, 3, 1}, {4, 4, 0}, {3, 7, 1}, // three running, four stuck after their bound
        {0, 8, 0},                                 // eight stuck threads: nothing starts
        {2, 8, 0}, {4, 5, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MayStartDownload(c.running, c.threads), c.may) << c.running << " running, " << c.threads << " threads";
    }
}

} // namespace
