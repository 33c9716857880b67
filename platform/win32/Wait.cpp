#include "platform/Wait.h"

#include "platform/DirNotifier.h"
#include "platform/StopEvent.h"
#include "platform/win32/WaitHandles.h"
#include "platform/win32/Win32Error.h"

#include <cerrno>

namespace platform {

WaitResult WaitForChanges(const std::vector<std::unique_ptr<DirNotifier>>& notifiers,
                          StopEvent& stop) {
    std::vector<HANDLE> handles;
    std::vector<std::size_t> slots;
    for (std::size_t i = 0; i < notifiers.size(); ++i) {
        if (!notifiers[i] || notifiers[i]->Error() != 0)
            continue;
        if (const HANDLE handle = WaitHandle(*notifiers[i])) {
            handles.push_back(handle);
            slots.push_back(i);
        }
    }
    WaitResult result;
    // The stop event takes the last of the wait's slots.
    if (handles.size() >= MAXIMUM_WAIT_OBJECTS) {
        result.error = E2BIG;
        return result;
    }
    handles.push_back(WaitHandle(stop));
    // A stop that an earlier wait consumed must not leave this one blocked.
    const DWORD timeout = stop.Requested() ? 0 : INFINITE;
    const DWORD woken = ::WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(),
                                                 FALSE, timeout);
    if (woken == WAIT_FAILED) {
        result.error = LastErrno();
        return result;
    }
    // The wait names only the lowest signalled handle; every directory signalled now is served.
    // A notification stays signalled until it is re-armed, so this test consumes nothing.
    for (std::size_t k = 0; k < slots.size(); ++k) {
        if (::WaitForSingleObject(handles[k], 0) == WAIT_OBJECT_0)
            result.signalled.push_back(slots[k]);
    }
    return result;
}

} // namespace platform
