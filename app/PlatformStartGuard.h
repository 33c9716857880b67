#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <vector>

// Held while QApplication starts Qt's platform. Without a display (none named, or no X server
// at DISPLAY) that start is fatal: instead of Qt's abort the program then ends with one line
// that points to the headless watcher, and exit status 1. Qt's messages of a start that works
// wait here and are passed on when the guard ends.
class PlatformStartGuard {
public:
    PlatformStartGuard();
    ~PlatformStartGuard();
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;

private:
    struct Message {
        QtMsgType type;
        QByteArray category;
        QString text;
    };
    static void Hold(QtMsgType type, const QMessageLogContext& context, const QString& text);

    static std::vector<Message> held_;
    QtMessageHandler previous_;
};
