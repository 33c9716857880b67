#pragma once

#include <span>
#include <windows.h>

#include <commctrl.h>

// The pictures of the tool bar's buttons, in two image lists: the bitmaps as drawn, and the same
// greyed with their shapes kept, for disabled buttons (the tool bar's own greying leaves one flat
// silhouette per button). Both are scaled by a whole factor, so a display of high DPI gets larger
// buttons of the same pixels.
class ToolBarImages {
public:
    // The bitmap resources named, in this order: button i shows picture i.
    ToolBarImages(std::span<const char* const> bitmapNames, int scale);
    ~ToolBarImages();
    ToolBarImages(const ToolBarImages&) = delete;
    ToolBarImages& operator=(const ToolBarImages&) = delete;

    HIMAGELIST Enabled() const { return enabled_; }
    HIMAGELIST Disabled() const { return disabled_; }

private:
    HIMAGELIST enabled_;
    HIMAGELIST disabled_;
};
