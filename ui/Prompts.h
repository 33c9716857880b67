#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// Every message box and file dialog of the program opens through these functions, so tests can
// answer them in advance instead of a user.
namespace Prompts {

// Shows a message box; returns the button pressed. A test answer set with SetNextAnswer is
// used (and consumed) instead of showing anything.
QMessageBox::StandardButton Show(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                                 const QString& text, QMessageBox::StandardButtons buttons);
void SetNextAnswer(QMessageBox::StandardButton answer);

// What was shown last (also when answered in advance), for tests.
struct Shown {
    QMessageBox::Icon icon;
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons;
};
std::optional<Shown> LastShown();
// The number of message boxes shown since the start of the process.
int ShownCount();

// The options of one file-open dialog.
struct FileRequest {
    QString title;
    QStringList filters;   // Qt filter strings, the first one preselected
    QString defaultSuffix; // empty for none
    QString initialFile;   // the current value, already cut to fit
    bool mustExist = false;
};
// Runs a file dialog; returns the chosen path or nothing when cancelled. The dialog itself
// refuses, and stays open on, a file that must exist and doesn't, a file in a missing folder, a
// read-only file or a name with a double quote. A name set with SetNextFileName answers (and is
// consumed) instead, unchecked; an empty string then means Cancel.
std::optional<QString> GetOpenFileName(QWidget* owner, const FileRequest& request);
void SetNextFileName(const QString& fileName);
std::optional<FileRequest> LastFileRequest();

} // namespace Prompts
