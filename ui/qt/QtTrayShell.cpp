#include "ui/qt/TrayShell.h"

#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <map>
#include <utility>

namespace {

// How long a notification stays where the desktop leaves that to the program, in ms.
constexpr int NoticeTime = 10000;

// Shows each added icon as a QSystemTrayIcon and posts its activations to the icon's window.
class QtTrayShell : public TrayShell {
public:
    bool NotifyIcon(Call call, const TrayIconData& data) override {
        const Key key{data.window, data.id};
        switch (call) {
        case Call::Add:
            return Add(key, data);
        case Call::Modify:
            return Modify(key, data);
        case Call::Delete:
            return icons_.erase(key) == 1;
        }
        return false;
    }

    unsigned RegisterMessage(const QString& name) override {
        static QHash<QString, int> registered;
        if (!registered.contains(name))
            registered.insert(name, QEvent::registerEventType());
        const int type = registered.value(name);
        return type < 0 ? 0 : static_cast<unsigned>(type);
    }

private:
    using Key = std::pair<QObject*, unsigned>;

    bool Add(const Key& key, const TrayIconData& data) {
        if (icons_.count(key) != 0 || !QSystemTrayIcon::isSystemTrayAvailable())
            return false;
        auto icon = std::make_unique<QSystemTrayIcon>(data.icon);
        icon->setToolTip(data.tip);
        if (data.flags & TrayMenuFlag)
            icon->setContextMenu(data.menu);
        QPointer<QObject> window = data.window;
        const unsigned message = data.message;
        const unsigned id = data.id;
        QObject::connect(icon.get(), &QSystemTrayIcon::activated,
                         [window, message, id](QSystemTrayIcon::ActivationReason reason) {
                             if (window)
                                 QCoreApplication::postEvent(
                                     window, new TrayNotifyEvent(message, id, reason));
                         });
        icon->show();
        icons_.emplace(key, std::move(icon));
        return true;
    }

    bool Modify(const Key& key, const TrayIconData& data) {
        const auto found = icons_.find(key);
        if (found == icons_.end())
            return false;
        if (data.flags & TrayTipFlag)
            found->second->setToolTip(data.tip);
        if (data.flags & TrayInfoFlag)
            found->second->showMessage(data.infoTitle, data.info, data.infoIcon, NoticeTime);
        return true;
    }

    std::map<Key, std::unique_ptr<QSystemTrayIcon>> icons_;
};

} // namespace

std::unique_ptr<TrayShell> CreateSystemTrayShell() {
    return std::make_unique<QtTrayShell>();
}
