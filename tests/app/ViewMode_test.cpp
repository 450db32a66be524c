// How the main window's commands change the display-mode word, and which activations rebuild.
#include <gtest/gtest.h>

#include "app/ViewMode.h"
#include "base/DisplayMode.h"

TEST(ViewMode, TextModeKeepsTheListBit) {
    EXPECT_EQ(WithTextMode(DisplayMode::UrlOnly, DisplayMode::UrlTitle), DisplayMode::UrlTitle);
    EXPECT_EQ(WithTextMode(DisplayMode::UrlText | DisplayMode::ListDisplay, DisplayMode::UrlOnly),
              DisplayMode::UrlOnly | DisplayMode::ListDisplay);
    // Stray bits of an older word do not survive a new text mode.
    EXPECT_EQ(WithTextMode(0x7F, DisplayMode::UrlText), DisplayMode::UrlText | DisplayMode::ListDisplay);
}

TEST(ViewMode, ListBoxChangesOnlyTheListBit) {
    EXPECT_EQ(WithListDisplay(DisplayMode::UrlTitle, true), DisplayMode::UrlTitle | DisplayMode::ListDisplay);
    EXPECT_EQ(WithListDisplay(DisplayMode::UrlTitle | DisplayMode::ListDisplay, false),
              DisplayMode::UrlTitle);
    EXPECT_EQ(WithListDisplay(DisplayMode::UrlText, false), DisplayMode::UrlText);
    EXPECT_EQ(WithListDisplay(DisplayMode::UrlText | DisplayMode::ListDisplay, true),
              DisplayMode::UrlText | DisplayMode::ListDisplay);
}

TEST(ViewMode, ActivationAndMinimisingMarkARebuild) {
    EXPECT_EQ(ActivationMarksRefresh(0, 0), 0);  // plain deactivation
    EXPECT_EQ(ActivationMarksRefresh(1, 0), 1);  // WA_ACTIVE
    EXPECT_EQ(ActivationMarksRefresh(2, 0), 1);  // WA_CLICKACTIVE
    EXPECT_EQ(ActivationMarksRefresh(0, 1), 1);  // deactivated while minimised
}
