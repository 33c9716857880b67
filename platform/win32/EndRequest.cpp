#include "platform/EndRequest.h"

#include "platform/win32/Handle.h"

namespace platform {

namespace {

// Manual reset: once requested, the end stays requested.
HANDLE EndEvent() {
    static const KernelHandle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    return event.get();
}

BOOL WINAPI OnConsoleEvent(DWORD) {
    ::SetEvent(EndEvent());
    return TRUE;
}

} // namespace

void CatchEndRequests() {
    EndEvent();
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

void WaitForEndRequest() {
    ::WaitForSingleObject(EndEvent(), INFINITE);
}

} // namespace platform
