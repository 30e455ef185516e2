#pragma once
// Lets the calling thread's windows receive and handle their messages for a while (painting,
// activation), so that what a test or demo reads back reflects the calls it made.

#include <windows.h>

namespace hostkit::win32 {

inline void pumpMessages(DWORD milliseconds) {
    const DWORD until = ::GetTickCount() + milliseconds;
    while (static_cast<LONG>(until - ::GetTickCount()) > 0) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(10);
    }
}

}  // namespace hostkit::win32
