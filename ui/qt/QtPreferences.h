#pragma once

#include "ui/Preferences.h"

// The preferences in the user's Qt settings ($XDG_CONFIG_HOME/Peerwell/Peerwell.conf on Linux).
class QtPreferences : public Preferences {
public:
    bool NotifyOnArrival() const override;
    void SetNotifyOnArrival(bool notify) override;
};
