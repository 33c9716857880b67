#include "ui/win32/DirectoryDialog.h"

#include <string>

namespace {

constexpr int IdInbound = 101;
constexpr int IdOutbound = 102;
constexpr int IdAlias = 103;
constexpr int IdMask = 104;
constexpr int IdPath = 105;

bool Checked(HWND dialog, int id) {
    return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void Check(HWND dialog, int id, bool checked) {
    ::CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
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
        // Typing goes to Path, its text selected as the dialog's own tabbing would leave it.
        ::SendMessageA(dialog, WM_NEXTDLGCTL,
                       reinterpret_cast<WPARAM>(::GetDlgItem(dialog, IdPath)), TRUE);
        return FALSE; // the focus is set
    }
    auto* self = reinterpret_cast<DirectoryDialog*>(::GetWindowLongPtrA(dialog, DWLP_USER));
    if (message != WM_COMMAND || !self)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IdInbound:
    case IdOutbound:
        if (HIWORD(wParam) == BN_CLICKED)
            self->ShowKind(DirectoryForm::AfterClick(self->ShownKind(), LOWORD(wParam) == IdInbound
                                                                            ? KindBox::Inbound
                                                                            : KindBox::Outbound));
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
    const DirectoryFields fields = form_.Fields();
    for (int id : {IdPath, IdAlias, IdMask})
        ::SendDlgItemMessageA(dialog_, id, EM_LIMITTEXT, DirectoryForm::EditLimit, 0);
    ::SetDlgItemTextA(dialog_, IdPath, fields.Path.c_str());
    ::SetDlgItemTextA(dialog_, IdAlias, fields.Alias.c_str());
    ::SetDlgItemTextA(dialog_, IdMask, fields.Mask.c_str());
    ShowKind(fields.Kind);
}

KindBoxes DirectoryDialog::ShownKind() const {
    return {Checked(dialog_, IdInbound), Checked(dialog_, IdOutbound)};
}

void DirectoryDialog::ShowKind(KindBoxes kind) {
    Check(dialog_, IdInbound, kind.Inbound);
    Check(dialog_, IdOutbound, kind.Outbound);
}

// The edit's text; the work buffer adds the terminating zero to what the edit holds.
std::string DirectoryDialog::Text(int id) const {
    char buffer[DirectoryForm::EditLimit + 1] = {};
    const UINT length = ::GetDlgItemTextA(dialog_, id, buffer, sizeof buffer);
    return std::string(buffer, length);
}

bool DirectoryDialog::Accept() {
    const std::optional<std::string> refusal =
        form_.Accept({Text(IdPath), Text(IdAlias), Text(IdMask), ShownKind()});
    if (refusal)
        ::MessageBoxA(dialog_, refusal->c_str(), "Error", MB_OK | MB_ICONSTOP);
    return !refusal;
}
