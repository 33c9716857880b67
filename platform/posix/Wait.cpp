#include "platform/Wait.h"

#include "platform/DirNotifier.h"
#include "platform/posix/PollHandles.h"

#include <cerrno>
#include <poll.h>

namespace platform {

WaitResult WaitForChanges(const std::vector<std::unique_ptr<DirNotifier>>& notifiers,
                          StopEvent& stop) {
    std::vector<pollfd> fds{{PollFd(stop), POLLIN, 0}};
    std::vector<std::size_t> slots;
    for (std::size_t i = 0; i < notifiers.size(); ++i) {
        if (notifiers[i] && notifiers[i]->Error() == 0) {
            fds.push_back({PollFd(*notifiers[i]), POLLIN, 0});
            slots.push_back(i);
        }
    }
    int ready;
    do {
        ready = ::poll(fds.data(), fds.size(), -1);
    } while (ready < 0 && errno == EINTR);

    WaitResult result;
    if (ready < 0) {
        result.error = errno;
        return result;
    }
    for (std::size_t k = 1; k < fds.size(); ++k) {
        if (fds[k].revents != 0)
            result.signalled.push_back(slots[k - 1]);
    }
    return result;
}

} // namespace platform
