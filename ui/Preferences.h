#pragma once

// The user's choices that belong to the user rather than to a list of directories, so they
// live outside peer.cfg: each view keeps them where its platform keeps such settings.
class Preferences {
public:
    virtual ~Preferences() = default;

    // Whether arrivals and departures are told by a notification; off until the user ticks it.
    virtual bool NotifyOnArrival() const = 0;
    virtual void SetNotifyOnArrival(bool notify) = 0;
};
