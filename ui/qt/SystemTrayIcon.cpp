#include "ui/qt/SystemTrayIcon.h"

namespace {

// The first TipLength characters, never splitting a surrogate pair.
QString CutTip(const QString& tip) {
    if (tip.size() <= SystemTrayIcon::TipLength)
        return tip;
    int length = SystemTrayIcon::TipLength;
    if (tip.at(length - 1).isHighSurrogate())
        --length;
    return tip.left(length);
}

} // namespace

SystemTrayIcon::SystemTrayIcon(std::unique_ptr<TrayShell> shell) : shell_(std::move(shell)) {}

SystemTrayIcon::~SystemTrayIcon() {
    if (shown_)
        RemoveIcon();
}

bool SystemTrayIcon::AddIcon(QObject* window, unsigned id, const QIcon& icon, const QString& tip,
                             unsigned message) {
    if (shown_)
        return false;
    if (message == 0)
        message = shell_->RegisterMessage(tip);
    if (message == 0)
        return shown_ = false;
    data_ = {.window = window,
             .id = id,
             .flags = TrayMessageFlag | TrayIconFlag | TrayTipFlag | TrayMenuFlag,
             .message = message,
             .icon = icon,
             .tip = CutTip(tip),
             .menu = menu_};
    shown_ = shell_->NotifyIcon(TrayShell::Call::Add, data_);
    return shown_;
}

bool SystemTrayIcon::SetTip(const QString& tip) {
    if (!shown_)
        return false;
    const QString kept = data_.tip;
    data_.tip = CutTip(tip);
    data_.flags = TrayTipFlag;
    const bool changed = shell_->NotifyIcon(TrayShell::Call::Modify, data_);
    if (!changed)
        data_.tip = kept;
    return changed;
}

bool SystemTrayIcon::ShowMessage(const QString& title, const QString& text,
                                 QSystemTrayIcon::MessageIcon icon) {
    if (!shown_)
        return false;
    data_.flags = TrayInfoFlag;
    data_.infoTitle = title;
    data_.info = text;
    data_.infoIcon = icon;
    return shell_->NotifyIcon(TrayShell::Call::Modify, data_);
}

bool SystemTrayIcon::RemoveIcon() {
    if (!shown_)
        return false;
    shown_ = !shell_->NotifyIcon(TrayShell::Call::Delete, data_);
    return shown_;
}
