// The main window's layout arithmetic and the display-mode changes of its commands.
#include <gtest/gtest.h>

#include "app/MainLayout.h"
#include "app/ViewMode.h"
#include "history/HistoryStore.h"

TEST(MainLayout, LeftAreaAndButtonStripFollowTheClientSize) {
    for (int width : {640, 632, 1000, 200, 128}) {
        SCOPED_TRACE(width);
        const MainLayout layout = ComputeMainLayout(width, 187);
        EXPECT_EQ(layout.leftArea.x, 0);
        EXPECT_EQ(layout.leftArea.y, 0);
        EXPECT_EQ(layout.leftArea.width, width - 128);
        EXPECT_EQ(layout.leftArea.height, 187);
        for (int i = 0; i < MainButtonCount; ++i) {
            EXPECT_EQ(layout.buttons[i].x, width - 112);
            EXPECT_EQ(layout.buttons[i].y, 16 + 32 * i);
            EXPECT_EQ(layout.buttons[i].width, 96);
            EXPECT_EQ(layout.buttons[i].height, 32);
        }
    }
}

TEST(MainLayout, MinimisedWindowGivesANegativeLeftWidth) {
    // An empty client area is laid out like any other; the moves treat the width as 0.
    const MainLayout layout = ComputeMainLayout(0, 0);
    EXPECT_EQ(layout.leftArea.width, -128);
    EXPECT_EQ(layout.buttons[0].x, -112);
    EXPECT_EQ(layout.buttons[4].y, 144);
}

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
