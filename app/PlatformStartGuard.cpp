#include "app/PlatformStartGuard.h"

#include <cstdio>
#include <cstdlib>

std::vector<PlatformStartGuard::Message> PlatformStartGuard::held_;

PlatformStartGuard::PlatformStartGuard() : previous_(qInstallMessageHandler(Hold)) {}

PlatformStartGuard::~PlatformStartGuard() {
    qInstallMessageHandler(previous_);
    for (const Message& message : held_) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
    held_.clear();
}

void PlatformStartGuard::Hold(QtMsgType type, const QMessageLogContext& context,
                              const QString& text) {
    if (type != QtFatalMsg) {
        held_.push_back({type, context.category, text});
        return;
    }
    std::fputs("peerwell: no display found; the headless watcher peerwell-watch runs without one\n",
               stderr);
    // Qt would abort once this returns; the half-started application is not torn down.
    std::_Exit(1);
}
