#pragma once

#include "ui/UserPrompts.h"

#include <windows.h>

// The questions of the directory list as Windows message boxes and dialogs, owned by the list
// window.
class Win32UserPrompts : public UserPrompts {
public:
    // The window that owns every box; set once it exists.
    void SetOwner(HWND owner) { owner_ = owner; }

    bool Confirm(const std::string& text) override;
    void ShowError(const std::string& text, ErrorIcon icon) override;
    void ShowInformation(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    std::optional<std::string> ChooseFile(const FileRequest& request) override;
    bool EditDirectory(DirSettings& settings) override;
    bool ViewLog(const std::string& logPath) override;

private:
    HWND owner_ = nullptr;
};
