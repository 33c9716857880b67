#pragma once

#include "engine/DirSettings.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The options of one file-open dialog.
struct FileRequest {
    struct Filter {
        std::string description; // "log files (*.log)"
        std::string pattern;     // "*.log"
    };
    std::string title;
    std::vector<Filter> filters; // the first one preselected
    std::string defaultSuffix;   // without the dot; empty for none
    std::string initialFile;     // the current value, already cut to fit the dialog
    bool mustExist = false;      // the file must exist; otherwise only its folder must
    // Why a chosen path can't be used, or an empty string when it can. A dialog that can refuse
    // a choice asks it when the user accepts, says the reason and stays open.
    std::function<std::string(const std::string& path)> refusal;
};

// Which icon an "Error" box shows.
enum class ErrorIcon { Stop, None };

// The questions and messages of the directory list. Each view answers them with its toolkit's
// message boxes and dialogs, owned by its list window; tests answer them in advance.
class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // A "Confirm" box with Yes and No and the stop icon; true when the answer is Yes.
    virtual bool Confirm(const std::string& text) = 0;
    // An "Error" box with OK.
    virtual void ShowError(const std::string& text, ErrorIcon icon) = 0;
    // An "Information" box with OK and the information icon.
    virtual void ShowInformation(const std::string& text) = 0;
    // A "Warning" box with OK and the exclamation icon.
    virtual void ShowWarning(const std::string& text) = 0;
    // The platform's file-open dialog; the chosen full path, or nothing when it was cancelled.
    // A path that the request's refusal refuses is refused again by the list.
    virtual std::optional<std::string> ChooseFile(const FileRequest& request) = 0;
    // The Directory dialog on the Path, Alias, Mask and Kind of settings, which it edits in
    // place (a refused OK may already have stored Path); true when it ended with OK.
    virtual bool EditDirectory(DirSettings& settings) = 0;
    // Opens logPath in the plain-text viewer and waits until the viewer has ended; false when
    // no viewer could be started.
    virtual bool ViewLog(const std::string& logPath) = 0;
};
