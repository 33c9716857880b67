#pragma once

#include "engine/WatchListener.h"

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <variant>
#include <vector>

// A directory's state as the watch told it.
struct StateChange {
    std::size_t slot = 0;
    DirState state;
};

// What passes over a directory reported: how many names came and went, and the first of each.
struct PassNames {
    std::size_t slot = 0;
    std::size_t added = 0;
    std::string firstAdded;
    std::size_t removed = 0;
    std::string firstRemoved;

    // Adds what a later pass over the same directory reported.
    void Join(PassNames later);
};

using WatchEvent = std::variant<StateChange, PassNames>;

// Carries what the watch thread tells over to the user-interface thread: events wait here until
// the user-interface thread takes them, woken by the function its view gives.
class WatchEventQueue {
public:
    // wake is called, on the thread that pushes, whenever events start to wait; at once when
    // some wait already. It must only ask the user-interface thread to take them.
    void SetWake(std::function<void()> wake);
    // Any thread. A report right after one of the same directory joins it.
    void Push(WatchEvent event);
    // The events in the order they came; the queue is empty afterwards.
    std::vector<WatchEvent> Take();

private:
    std::mutex mutex_;
    std::vector<WatchEvent> events_;
    std::function<void()> wake_;
};
