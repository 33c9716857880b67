#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace platform {

class DirNotifier;
class StopEvent;

struct WaitResult {
    int error = 0;                      // errno of a failed wait
    std::vector<std::size_t> signalled; // indices of the signalled notifications, ascending
};

// Blocks, without a time-out, until the stop event or one of the notifications is signalled.
// Empty slots and notifications that have failed stay out of the wait.
WaitResult WaitForChanges(const std::vector<std::unique_ptr<DirNotifier>>& notifiers,
                          StopEvent& stop);

} // namespace platform
