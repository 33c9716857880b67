#pragma once

#include <string>
#include <windows.h>

// Opens logPath in notepad.exe from the Windows directory and waits until notepad has ended.
// Meanwhile owner's top-level window takes no input, like the owner of a modal dialog, but every
// window keeps painting. False when notepad could not be started.
bool RunLogViewer(HWND owner, const std::string& logPath);
