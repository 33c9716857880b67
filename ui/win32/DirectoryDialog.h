#pragma once

#include "engine/DirSettings.h"

#include <windows.h>

// The modal dialog D_DIR on the Path, Alias, Mask and Kind of settings, which it edits in place.
// OK stores Path (less its trailing backslashes) before it tests it, and keeps the dialog open
// when the path can't be listed.
class DirectoryDialog {
public:
    DirectoryDialog(HWND owner, DirSettings& settings) : owner_(owner), settings_(settings) {}

    // IDOK or IDCANCEL.
    INT_PTR Run();

private:
    static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void LoadFields();
    void KeepOneChecked(int clicked);
    bool Accept();
    std::string Text(int id) const;
    bool Refuse(const char* text) const;

    HWND owner_;
    DirSettings& settings_;
    HWND dialog_ = nullptr;
};
