#include "app/panelheights.h"

#include <algorithm>

int PanelHeights::OptionsArea(By by, int logicalDpi, int toolbarHeight, int contentMinimum) {
    const int designed =
        by == By::OptionsCommand && logicalDpi == kLargeFontDpi ? kDesignedAt120Dpi : kDesigned;
    return std::max(designed - toolbarHeight, contentMinimum);
}

int PanelHeights::TopPanel(bool showToolbar, bool showOptions, int toolbarHeight, int optionsArea) {
    return (showToolbar ? toolbarHeight : 0) + (showOptions ? optionsArea : 0);
}
