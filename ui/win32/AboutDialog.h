#pragma once

#include <windows.h>

// The About box D_ABOUT: the icon, the version and OK. Runs modally; closes with OK, Esc or its
// close box.
void RunAboutDialog(HWND owner);
