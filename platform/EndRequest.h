#pragma once

namespace platform {

// Requests to end the process from its user or the system: SIGINT and SIGTERM on POSIX; Ctrl+C,
// Ctrl+Break and the closing of its console on Windows.

// Takes them over from their default handling, which would end the process at once. Call it
// before any thread is started.
void CatchEndRequests();
// Blocks until one arrives.
void WaitForEndRequest();

} // namespace platform
