#pragma once

#include <QString>
#include <QStringList>

// The desktop's choice of application for a kind of file, found the freedesktop.org way: the
// mimeapps.list files of the user and the system name a desktop entry, whose Exec line says
// how to start it.
namespace xdg {

// The path of the desktop entry that the highest-ranking mimeapps.list names as the default for
// mimeType and that is installed; empty when there is none.
QString DefaultApplication(const QString& mimeType);

// The program and arguments of an entry's Exec line for opening file: the file field codes
// (%f %F %u %U) become file as one argument, the other field codes are dropped, and file is
// appended when the line has no file code. Empty when the entry has no Exec line or must run
// in a terminal.
QStringList ExecCommand(const QString& desktopFile, const QString& file);

} // namespace xdg
