#pragma once

#include <QMessageBox>
#include <QString>
#include <optional>

class QWidget;

// Every message box of the program opens through Show, so tests can answer it in advance
// instead of a user.
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

} // namespace Prompts
