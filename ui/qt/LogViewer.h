#pragma once

#include <QString>
#include <QStringList>

// Opens a log file in the desktop's plain-text viewer and waits until the viewer is closed.
namespace LogViewer {

// Starts the viewer directly (no shell) with logPath as one argument and waits for it to end.
// Meanwhile the windows keep painting but take no input and can't be closed. Returns the
// viewer's exit status, or -1 when it could not be started.
int Run(const QString& logPath);

} // namespace LogViewer
