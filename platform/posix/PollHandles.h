#pragma once

namespace platform {

class DirNotifier;
class StopEvent;

// The descriptor that the POSIX wait polls for each waitable object: readable once signalled.
int PollFd(StopEvent& stop);
int PollFd(DirNotifier& notifier);

} // namespace platform
