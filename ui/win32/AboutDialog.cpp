#include "ui/win32/AboutDialog.h"

namespace {

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

void RunAboutDialog(HWND owner) {
    ::DialogBoxParamA(::GetModuleHandleA(nullptr), "D_ABOUT", owner, AboutProc, 0);
}
