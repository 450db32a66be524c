// The main window's layout arithmetic.
#include <gtest/gtest.h>

#include "app/MainLayout.h"

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
