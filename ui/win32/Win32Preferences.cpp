#include "ui/win32/Win32Preferences.h"

#include <memory>
#include <type_traits>
#include <windows.h>

namespace {

constexpr const char* KeyPath = "Software\\Peerwell";
constexpr const char* NotifyValue = "NotifyOnArrival";

struct CloseKey {
    void operator()(HKEY key) const { ::RegCloseKey(key); }
};
using Key = std::unique_ptr<std::remove_pointer_t<HKEY>, CloseKey>;

} // namespace

bool Win32Preferences::NotifyOnArrival() const {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return false;
    const Key key(opened);
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    return ::RegQueryValueExA(key.get(), NotifyValue, nullptr, &type,
                              reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
           type == REG_DWORD && value != 0;
}

void Win32Preferences::SetNotifyOnArrival(bool notify) {
    HKEY created = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &created, nullptr) != ERROR_SUCCESS)
        return;
    const Key key(created);
    const DWORD value = notify ? 1 : 0;
    ::RegSetValueExA(key.get(), NotifyValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                     sizeof value);
}
