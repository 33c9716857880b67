#pragma once

#include "ui/Preferences.h"

// The preferences in the registry, under HKEY_CURRENT_USER\Software\Peerwell.
class Win32Preferences : public Preferences {
public:
    bool NotifyOnArrival() const override;
    void SetNotifyOnArrival(bool notify) override;
};
