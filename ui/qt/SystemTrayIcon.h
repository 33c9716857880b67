#pragma once

#include "ui/qt/TrayShell.h"

#include <memory>

// The program's icon in the notification area. Shown follows the results of the shell calls
// only; a failed change keeps the data of what the shell shows.
class SystemTrayIcon {
public:
    static constexpr int TipLength = 63;

    explicit SystemTrayIcon(std::unique_ptr<TrayShell> shell);
    ~SystemTrayIcon();
    SystemTrayIcon(const SystemTrayIcon&) = delete;
    SystemTrayIcon& operator=(const SystemTrayIcon&) = delete;

    // Places the icon. A message of 0 asks the shell for one registered under the tip.
    // Returns Shown(); false without a shell call when the icon is already shown.
    bool AddIcon(QObject* window, unsigned id, const QIcon& icon, const QString& tip,
                 unsigned message);
    bool SetTip(const QString& tip);
    // The menu of a right click on the icon, from the next AddIcon on.
    void SetMenu(QMenu* menu) { menu_ = menu; }
    // One notification from the icon; false when it is not shown.
    bool ShowMessage(const QString& title, const QString& text, QSystemTrayIcon::MessageIcon icon);
    // Returns whether the icon is still there.
    bool RemoveIcon();

    bool Shown() const { return shown_; }

private:
    std::unique_ptr<TrayShell> shell_;
    bool shown_ = false;
    QMenu* menu_ = nullptr;
    TrayIconData data_;
};
