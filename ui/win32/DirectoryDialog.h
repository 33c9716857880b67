#pragma once

#include "ui/DirectoryForm.h"

#include <windows.h>

// The modal dialog D_DIR: the view of a DirectoryForm on the owner's current record.
class DirectoryDialog {
public:
    DirectoryDialog(HWND owner, DirSettings& settings) : owner_(owner), form_(settings) {}

    // IDOK or IDCANCEL.
    INT_PTR Run();

private:
    static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void LoadFields();
    KindBoxes ShownKind() const;
    void ShowKind(KindBoxes kind);
    bool Accept();
    std::string Text(int id) const;

    HWND owner_;
    DirectoryForm form_;
    HWND dialog_ = nullptr;
};
