// The capture schedule: a notification arms the settle timer once, and no capture runs inside
// another.
#include "app/CaptureSchedule.h"

#include <gtest/gtest.h>

namespace {

TEST(CaptureSchedule, AStreamOfNotificationsArmsTheTimerOnce) {
    CaptureSchedule schedule = {true, true};
    ResetCaptureSchedule(schedule);
    EXPECT_TRUE(ArmSettle(schedule));
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(ArmSettle(schedule)) << "a later notification must not set the timer again";
    }
    EXPECT_TRUE(SettleDue(schedule));
    // From the capture on, the next change is a new one.
    EXPECT_TRUE(ArmSettle(schedule));
}

TEST(CaptureSchedule, ATimerThatCouldNotBeSetIsTriedAgain) {
    CaptureSchedule schedule = {false, false};
    ASSERT_TRUE(ArmSettle(schedule));
    DisarmSettle(schedule);
    EXPECT_TRUE(ArmSettle(schedule));
}

TEST(CaptureSchedule, NoCaptureInsideAnother) {
    CaptureSchedule schedule = {false, false};
    ASSERT_TRUE(ArmSettle(schedule));
    ASSERT_TRUE(BeginCapture(schedule));
    EXPECT_FALSE(BeginCapture(schedule));
    // The settle timer waits for the running capture and stays armed meanwhile.
    EXPECT_FALSE(SettleDue(schedule));
    EXPECT_FALSE(ArmSettle(schedule));
    EndCapture(schedule);
    EXPECT_TRUE(SettleDue(schedule));
    EXPECT_TRUE(BeginCapture(schedule));
    EndCapture(schedule);
}

} // namespace
