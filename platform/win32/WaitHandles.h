#pragma once

#include <windows.h>

namespace platform {

class DirNotifier;
class StopEvent;

// The handle that the Windows wait waits on for each waitable object: signalled once the
// object is. A notifier that has failed has none (null).
HANDLE WaitHandle(StopEvent& stop);
HANDLE WaitHandle(DirNotifier& notifier);

} // namespace platform
