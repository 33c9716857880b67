#include "ui/win32/Win32UserPrompts.h"

#include "ui/win32/DirectoryDialog.h"
#include "ui/win32/LogViewer.h"

#include <commdlg.h>

namespace {

// The hook of the Open dialog: asks the request about the file the user accepts, and refuses a
// file in an "Error" box owned by the dialog, which stays open so the user browses again.
UINT_PTR CALLBACK RefuseInPlace(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY)
        return FALSE;
    const auto* notice = reinterpret_cast<const OFNOTIFYA*>(lParam);
    if (notice->hdr.code != CDN_FILEOK)
        return FALSE;
    const auto* request = reinterpret_cast<const FileRequest*>(notice->lpOFN->lCustData);
    const std::string refusal =
        request->refusal ? request->refusal(notice->lpOFN->lpstrFile) : std::string();
    if (refusal.empty())
        return FALSE;
    ::MessageBoxA(::GetParent(hook), refusal.c_str(), "Error", MB_OK | MB_ICONSTOP);
    ::SetWindowLongPtrA(hook, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

} // namespace

bool Win32UserPrompts::Confirm(const std::string& text) {
    return ::MessageBoxA(owner_, text.c_str(), "Confirm", MB_YESNO | MB_ICONSTOP) == IDYES;
}

void Win32UserPrompts::ShowError(const std::string& text, ErrorIcon icon) {
    ::MessageBoxA(owner_, text.c_str(), "Error",
                  MB_OK | (icon == ErrorIcon::Stop ? MB_ICONSTOP : 0));
}

void Win32UserPrompts::ShowInformation(const std::string& text) {
    ::MessageBoxA(owner_, text.c_str(), "Information", MB_OK | MB_ICONINFORMATION);
}

void Win32UserPrompts::ShowWarning(const std::string& text) {
    ::MessageBoxA(owner_, text.c_str(), "Warning", MB_OK | MB_ICONEXCLAMATION);
}

std::optional<std::string> Win32UserPrompts::ChooseFile(const FileRequest& request) {
    // Pairs of description and pattern, each ended by a zero, and one more zero at the end.
    std::string filters;
    for (const FileRequest::Filter& filter : request.filters)
        filters += filter.description + '\0' + filter.pattern + '\0';
    filters += '\0';
    char fileName[MAX_PATH] = {};
    request.initialFile.copy(fileName, sizeof fileName - 1);

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = sizeof fileName;
    dialog.lpstrInitialDir = "";
    dialog.lpstrTitle = request.title.c_str();
    dialog.lpstrDefExt = request.defaultSuffix.empty() ? nullptr : request.defaultSuffix.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN |
                   OFN_LONGNAMES | OFN_EXPLORER | OFN_ENABLEHOOK |
                   (request.mustExist ? OFN_FILEMUSTEXIST : 0);
    dialog.lpfnHook = RefuseInPlace;
    dialog.lCustData = reinterpret_cast<LPARAM>(&request);
    if (!::GetOpenFileNameA(&dialog))
        return std::nullopt;
    return std::string(fileName);
}

bool Win32UserPrompts::EditDirectory(DirSettings& settings) {
    return DirectoryDialog(owner_, settings).Run() == IDOK;
}

bool Win32UserPrompts::ViewLog(const std::string& logPath) {
    return RunLogViewer(owner_, logPath);
}
