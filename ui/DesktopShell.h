#pragma once

#include <chrono>
#include <string>

// What a notification is about: the views pick its icon from it.
enum class Notice { Arrival, Problem };

// What the directory list shows of the watch outside its window, and the clock and the timer
// that pace its notifications. Each view gives them over its tray icon and its event loop.
class DesktopShell {
public:
    virtual ~DesktopShell() = default;

    // The tray icon's tip; at most 63 characters.
    virtual void ShowTrayTip(const std::string& tip) = 0;
    // One notification from the tray icon, never a modal box; a later one may replace it.
    virtual void Notify(const std::string& title, const std::string& text, Notice notice) = 0;
    // Calls the list's TimerElapsed once, delay from now; replaces a timer still running.
    virtual void StartTimer(std::chrono::milliseconds delay) = 0;
    virtual std::chrono::steady_clock::time_point Now() const {
        return std::chrono::steady_clock::now();
    }
};
