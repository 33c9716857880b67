#pragma once

// The main frame's fixed measures in pixels at 96 DPI (a scale of 100 %), the same in every view;
// each view scales them with the display.
inline constexpr int FrameOuterWidth = 380;
inline constexpr int FrameOuterHeight = 265;
// The directory list keeps this margin to the edges of its window and fills the rest of it.
inline constexpr int ListMargin = 10;
// The tool bar's bitmaps are square; a separator is an empty gap this wide.
inline constexpr int ToolBitmapSize = 20;
inline constexpr int ToolSeparatorWidth = 6;
