#include "ui/qt/QtPreferences.h"

#include <QSettings>

namespace {

constexpr const char* NotifyKey = "NotifyOnArrival";

QSettings UserSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Peerwell", "Peerwell");
}

} // namespace

bool QtPreferences::NotifyOnArrival() const {
    return UserSettings().value(NotifyKey, false).toBool();
}

void QtPreferences::SetNotifyOnArrival(bool notify) {
    UserSettings().setValue(NotifyKey, notify);
}
