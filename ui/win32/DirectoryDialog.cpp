#include "ui/win32/DirectoryDialog.h"

#include "platform/DirSearch.h"

#include <string>

namespace {

constexpr int IdInbound = 101;
constexpr int IdOutbound = 102;
constexpr int IdAlias = 103;
constexpr int IdMask = 104;
constexpr int IdPath = 105;
// Each edit holds 254 characters; the work buffer adds the terminating zero.
constexpr int EditLimit = 254;

bool Checked(HWND dialog, int id) {
    return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void Check(HWND dialog, int id, bool checked) {
    ::CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

std::string WithoutTrailingBackslashes(std::string path) {
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

} // namespace

INT_PTR DirectoryDialog::Run() {
    return ::DialogBoxParamA(::GetModuleHandleA(nullptr), "D_DIR", owner_, Proc,
                             reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK DirectoryDialog::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto* self = reinterpret_cast<DirectoryDialog*>(lParam);
        self->dialog_ = dialog;
        self->LoadFields();
        return TRUE;
    }
    auto* self = reinterpret_cast<DirectoryDialog*>(::GetWindowLongPtrA(dialog, DWLP_USER));
    if (message != WM_COMMAND || !self)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IdInbound:
    case IdOutbound:
        if (HIWORD(wParam) == BN_CLICKED)
            self->KeepOneChecked(LOWORD(wParam));
        return TRUE;
    case IDOK:
        if (self->Accept())
            ::EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:
        ::EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

void DirectoryDialog::LoadFields() {
    for (int id : {IdPath, IdAlias, IdMask})
        ::SendDlgItemMessageA(dialog_, id, EM_LIMITTEXT, EditLimit, 0);
    ::SetDlgItemTextA(dialog_, IdPath, settings_.Path.c_str());
    ::SetDlgItemTextA(dialog_, IdAlias, settings_.Alias.c_str());
    ::SetDlgItemTextA(dialog_, IdMask, settings_.Mask.c_str());
    Check(dialog_, IdInbound, settings_.Kind == '*' || settings_.Kind == '+');
    Check(dialog_, IdOutbound, settings_.Kind != '+');
}

void DirectoryDialog::KeepOneChecked(int clicked) {
    if (!Checked(dialog_, IdInbound) && !Checked(dialog_, IdOutbound))
        Check(dialog_, clicked == IdInbound ? IdOutbound : IdInbound, true);
}

std::string DirectoryDialog::Text(int id) const {
    char buffer[EditLimit + 1] = {};
    const UINT length = ::GetDlgItemTextA(dialog_, id, buffer, sizeof buffer);
    return std::string(buffer, length);
}

bool DirectoryDialog::Refuse(const char* text) const {
    ::MessageBoxA(dialog_, text, "Error", MB_OK | MB_ICONSTOP);
    return false;
}

bool DirectoryDialog::Accept() {
    // A double quote would end its field early in peer.cfg.
    for (int id : {IdPath, IdAlias, IdMask})
        if (Text(id).find('"') != std::string::npos)
            return Refuse("Path, Alias and Mask can't contain a double quote (\").");
    const std::string typed = Text(IdPath);
    settings_.Path = WithoutTrailingBackslashes(typed);
    if (!platform::CanListDirectory(typed))
        return Refuse("Bad path setting!");
    settings_.Alias = Text(IdAlias);
    settings_.Mask = Text(IdMask);
    const bool inbound = Checked(dialog_, IdInbound);
    settings_.Kind = inbound ? (Checked(dialog_, IdOutbound) ? '*' : '+') : '-';
    return true;
}
