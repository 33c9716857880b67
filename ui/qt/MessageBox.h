#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// Every message box of the program opens through Show, so tests can answer it in advance
// instead of a user.
namespace MessageBox {

// Shows a message box; returns the button pressed. A test answer set with SetNextAnswer is
// used (and consumed) instead of showing anything.
QMessageBox::StandardButton Show(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                                 const QString& text, QMessageBox::StandardButtons buttons);
void SetNextAnswer(QMessageBox::StandardButton answer);
// The number of message boxes shown since the start of the process, answered in advance or not.
int ShownCount();

} // namespace MessageBox
