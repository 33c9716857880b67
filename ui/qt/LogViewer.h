#pragma once

#include <QString>
#include <QStringList>

// Opens a log file in the desktop's plain-text viewer and waits until the viewer is closed.
namespace LogViewer {

// The program and arguments that open logPath: the desktop's default application for plain
// text, else the first text editor of a fixed list found on PATH. Empty when there is none.
QStringList ViewerCommand(const QString& logPath);

// Starts the viewer directly (no shell) with logPath as one argument and waits for it to end.
// Meanwhile the windows keep painting but take no input and can't be closed. Returns the
// viewer's exit status, or -1 when it could not be started.
int Run(const QString& logPath);

} // namespace LogViewer
