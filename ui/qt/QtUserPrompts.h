#pragma once

#include "ui/UserPrompts.h"

class QWidget;

// The questions of the directory list as Qt message boxes and dialogs owned by one window.
class QtUserPrompts : public UserPrompts {
public:
    explicit QtUserPrompts(QWidget* owner) : owner_(owner) {}

    bool Confirm(const std::string& text) override;
    void ShowError(const std::string& text, ErrorIcon icon) override;
    void ShowInformation(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    std::optional<std::string> ChooseFile(const FileRequest& request) override;
    bool EditDirectory(DirSettings& settings) override;
    bool ViewLog(const std::string& logPath) override;

private:
    QWidget* owner_;
};
