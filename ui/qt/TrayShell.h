#pragma once

#include <QEvent>
#include <QIcon>
#include <QString>
#include <QSystemTrayIcon>
#include <memory>

class QMenu;
class QObject;

// The flags of a tray call: which members of TrayIconData it hands over.
enum TrayFlag : unsigned {
    TrayMessageFlag = 1,
    TrayIconFlag = 2,
    TrayTipFlag = 4,
    TrayInfoFlag = 16, // a notification: info, infoTitle and infoIcon
    TrayMenuFlag = 32,
};

// The record handed to the shell for one icon, identified by (window, id).
struct TrayIconData {
    QObject* window = nullptr; // receives a TrayNotifyEvent of type `message`
    unsigned id = 0;
    unsigned flags = 0;
    unsigned message = 0;
    QIcon icon;
    QString tip;           // at most SystemTrayIcon::TipLength characters
    QMenu* menu = nullptr; // opened by a right click on the icon
    QString infoTitle{};
    QString info{};
    QSystemTrayIcon::MessageIcon infoIcon = QSystemTrayIcon::Information;
};

// The notification-area calls the program makes. The real backend shows a QSystemTrayIcon;
// tests use one that records the calls.
class TrayShell {
public:
    enum class Call { Add, Modify, Delete };

    virtual ~TrayShell() = default;
    // Adds, changes (the members named by data.flags) or removes the icon; true on success.
    virtual bool NotifyIcon(Call call, const TrayIconData& data) = 0;
    // A message number private to the process, the same for the same name; 0 on failure.
    virtual unsigned RegisterMessage(const QString& name) = 0;
};

std::unique_ptr<TrayShell> CreateSystemTrayShell();

// Posted to the icon's window when the mouse acts on the icon.
class TrayNotifyEvent : public QEvent {
public:
    TrayNotifyEvent(unsigned message, unsigned id, QSystemTrayIcon::ActivationReason reason)
        : QEvent(static_cast<QEvent::Type>(message)), Id(id), Reason(reason) {}

    const unsigned Id;
    const QSystemTrayIcon::ActivationReason Reason;
};
