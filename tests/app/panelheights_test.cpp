// The top panel's height, which needs no window: the toolbar and the options area each add
// theirs, and a screen of 120 pixels per inch gets the taller options area only from the
// Options command.
#include <gtest/gtest.h>

#include "app/panelheights.h"

using By = PanelHeights::By;

TEST(PanelHeights, TheOptionsAreaIsTheDesignedHeightBelowTheToolbar) {
    constexpr int kToolbar = 60;
    EXPECT_EQ(PanelHeights::OptionsArea(By::Start, 96, kToolbar, 0), 257 - kToolbar);
    EXPECT_EQ(PanelHeights::OptionsArea(By::OptionsCommand, 96, kToolbar, 0), 257 - kToolbar);
    EXPECT_EQ(PanelHeights::OptionsArea(By::OptionsCommand, 120, kToolbar, 0), 316 - kToolbar);
    EXPECT_EQ(PanelHeights::OptionsArea(By::ToolbarCommand, 120, kToolbar, 0), 257 - kToolbar);
    EXPECT_EQ(PanelHeights::OptionsArea(By::Start, 120, kToolbar, 0), 257 - kToolbar);
    // Large fonts: the controls' own need wins, so nothing is cut off.
    EXPECT_EQ(PanelHeights::OptionsArea(By::Start, 192, kToolbar, 400), 400);

    const int area = 257 - kToolbar;
    EXPECT_EQ(PanelHeights::TopPanel(true, true, kToolbar, area), 257);
    EXPECT_EQ(PanelHeights::TopPanel(true, false, kToolbar, area), kToolbar);
    EXPECT_EQ(PanelHeights::TopPanel(false, true, kToolbar, area), 257 - kToolbar);
    EXPECT_EQ(PanelHeights::TopPanel(false, false, kToolbar, area), 0);
}
