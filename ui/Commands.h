#pragma once

// The command identifiers of the menu and the tool bar.
inline constexpr int CM_EXIT = 101;
inline constexpr int CM_VIEW = 102;
inline constexpr int CM_ADD = 103;
inline constexpr int CM_DELETE = 104;
inline constexpr int CM_OPTIONS = 105;
inline constexpr int CM_LOGFILE = 108;
inline constexpr int CM_WAVFILE = 109;
inline constexpr int CM_ABOUT = 111;
