#pragma once

#include "ui/qt/TrayShell.h"

#include <QCoreApplication>
#include <memory>
#include <vector>

// What the recording shell saw; shared with the test so it outlives the tray icon.
struct TrayLog {
    struct Entry {
        TrayShell::Call call;
        TrayIconData data;
    };
    std::vector<Entry> calls;
    bool answer = true;             // the result of every NotifyIcon
    unsigned registeredMessage = 0; // the result of RegisterMessage
    bool iconShown = false;         // what a real shell would show now

    int Count(TrayShell::Call call) const {
        int count = 0;
        for (const auto& entry : calls)
            count += entry.call == call;
        return count;
    }
    // Posts a mouse action to the window of the shown icon, as the real shell does.
    void Activate(QSystemTrayIcon::ActivationReason reason) const {
        const TrayIconData& data = calls.front().data;
        QCoreApplication::postEvent(data.window,
                                    new TrayNotifyEvent(data.message, data.id, reason));
    }
};

class RecordingTrayShell : public TrayShell {
public:
    explicit RecordingTrayShell(std::shared_ptr<TrayLog> log) : log_(std::move(log)) {}

    bool NotifyIcon(Call call, const TrayIconData& data) override {
        log_->calls.push_back({call, data});
        if (log_->answer && call != Call::Modify)
            log_->iconShown = call == Call::Add;
        return log_->answer;
    }
    unsigned RegisterMessage(const QString&) override { return log_->registeredMessage; }

private:
    std::shared_ptr<TrayLog> log_;
};
