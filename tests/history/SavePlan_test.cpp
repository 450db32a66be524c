// The save schedule over sequences of changes, writes and clock readings, and the end's plan.
#include <gtest/gtest.h>

#include "history/SavePlan.h"

namespace {

class Schedule : public testing::Test {
protected:
    void SetUp() override { InitSaveSchedule(schedule, 5); }

    SaveDecision At(uint32_t revision, uint32_t nowMs) const { return DecideSave(schedule, revision, nowMs); }

    // Starts a write of this revision at nowMs and finishes it with result.
    void Write(uint32_t revision, uint32_t nowMs, HistoryWrite result) {
        ASSERT_EQ(At(revision, nowMs).step, SaveStep::WriteNow);
        NoteSaveStarted(schedule, revision, nowMs);
        NoteSaveFinished(schedule, result);
    }

    SaveSchedule schedule;
};

TEST_F(Schedule, NothingToWriteUntilTheEntriesChange) {
    EXPECT_EQ(At(5, 0).step, SaveStep::Wait);
    EXPECT_EQ(At(5, 123456).step, SaveStep::Wait);
    EXPECT_EQ(At(6, 0).step, SaveStep::WriteNow);
}

TEST_F(Schedule, ABurstIsWrittenAtMostOnceASecond) {
    Write(6, 10000, HistoryWrite::Written);
    // Changes within the second wait for its end, measured from the last write's start.
    struct Case {
        uint32_t now;
        SaveStep step;
        uint32_t delay;
    };
    const Case cases[] = {{10000, SaveStep::WakeLater, 1000}, {10001, SaveStep::WakeLater, 999},
                          {10999, SaveStep::WakeLater, 1}, {11000, SaveStep::WriteNow, 0},
                          {99999, SaveStep::WriteNow, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.now);
        const SaveDecision d = At(7, c.now);
        EXPECT_EQ(d.step, c.step);
        EXPECT_EQ(d.delayMs, c.delay);
    }
    // The tick wraps after 49.7 days; the spacing is kept across it.
    Write(7, 0xFFFFFF00u, HistoryWrite::Written);
    EXPECT_EQ(At(8, 0x00000010u).step, SaveStep::WakeLater);
    EXPECT_EQ(At(8, 0x00000010u).delayMs, 1000u - 0x110u);
    EXPECT_EQ(At(8, 0x000002E8u).step, SaveStep::WriteNow);
}

TEST_F(Schedule, OneWriteAtATimeAndChangesDuringItAreWrittenNext) {
    NoteSaveStarted(schedule, 6, 0);
    EXPECT_EQ(At(9, 5000).step, SaveStep::Wait);
    NoteSaveFinished(schedule, HistoryWrite::Written);
    EXPECT_EQ(schedule.savedRevision, 6u);
    EXPECT_EQ(At(9, 5000).step, SaveStep::WriteNow);
    EXPECT_EQ(At(6, 5000).step, SaveStep::Wait);
    // A finish without a start (a stray completion) changes nothing.
    NoteSaveFinished(schedule, HistoryWrite::Failed);
    EXPECT_EQ(schedule.failed, 0);
}

TEST_F(Schedule, AFailedWriteIsTriedAgainOnlyAfterTheNextChange) {
    Write(6, 0, HistoryWrite::Failed);
    EXPECT_EQ(At(6, 5000).step, SaveStep::Wait);
    EXPECT_EQ(At(7, 5000).step, SaveStep::WriteNow);
    Write(7, 5000, HistoryWrite::Written);
    EXPECT_EQ(schedule.failed, 0);
    // Back to the revision that failed (say, a delete undone by nothing): it is written again.
    EXPECT_EQ(At(6, 9000).step, SaveStep::WriteNow);
}

TEST_F(Schedule, AReadOnlyFileIsSettledAsItIs) {
    Write(6, 0, HistoryWrite::LeftReadOnly);
    EXPECT_EQ(At(6, 5000).step, SaveStep::Wait);
    EXPECT_EQ(At(7, 5000).step, SaveStep::WriteNow);
}

TEST(EndSave, KeepsOnlyWhatWouldBeLostAndTellsOnlyAtANormalEnd) {
    struct Case {
        HistoryWrite result;
        int entries;
        int sessionEnding;
        int keep;
        int tell;
    };
    const Case cases[] = {
        {HistoryWrite::Written, 5, 0, 0, 0},      {HistoryWrite::LeftReadOnly, 5, 0, 0, 0},
        {HistoryWrite::Failed, 5, 0, 1, 1},       {HistoryWrite::Failed, 5, 1, 1, 0},
        {HistoryWrite::Unread, 5, 0, 1, 1},       {HistoryWrite::Unread, 5, 1, 1, 0},
        {HistoryWrite::Failed, 0, 0, 0, 0},       {HistoryWrite::Unread, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.result) * 100 + c.entries * 10 + c.sessionEnding);
        const EndSavePlan plan = PlanEndSave(c.result, c.entries, c.sessionEnding);
        EXPECT_EQ(plan.keepUnsaved, c.keep);
        EXPECT_EQ(plan.tellUser, c.tell);
    }
}

} // namespace
