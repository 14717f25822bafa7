#pragma once

// The height of the window's top panel, which holds the toolbar and below it the options area.
// The options area is designed 257 pixels high with the toolbar; the Options command gives it
// 316 on screens of exactly 120 pixels per inch. Either part may be hidden.
class PanelHeights {
  public:
    static constexpr int kDesigned = 257;
    static constexpr int kDesignedAt120Dpi = 316;
    static constexpr int kLargeFontDpi = 120;

    // Which command set the height last: the toolbar's own command and the start use the
    // designed height whatever the screen.
    enum class By { Start, OptionsCommand, ToolbarCommand };

    // The options area's own height: the designed height less the toolbar's, never less than
    // the height its controls need (larger fonts need more).
    static int OptionsArea(By by, int logicalDpi, int toolbarHeight, int contentMinimum);
    // The whole top panel: the toolbar's height when shown plus the options area when shown.
    static int TopPanel(bool showToolbar, bool showOptions, int toolbarHeight, int optionsArea);
};
