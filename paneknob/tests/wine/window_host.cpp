// A second process that owns top-level windows for the window-control tests.
//   window_host READY QUIT [--child TEXT] TITLE STYLE [TITLE STYLE ...]
// Creates one top-level window per TITLE (STYLE in hexadecimal; WS_VISIBLE shows it), and with
// --child a child window with TEXT inside the first one. Sets the named event READY once all
// exist, then serves their messages until the named event QUIT is set (or two minutes pass).

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cwchar>
#include <string>

int main() {
    int count = 0;
    wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (args == nullptr || count < 3) {
        return 2;
    }
    WNDCLASSW type{};
    type.lpfnWndProc = &::DefWindowProcW;
    type.hInstance = ::GetModuleHandleW(nullptr);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    type.lpszClassName = L"PaneknobHostWindow";
    ::RegisterClassW(&type);

    int next = 3;
    const wchar_t* childText = nullptr;
    if (next + 1 < count && std::wcscmp(args[next], L"--child") == 0) {
        childText = args[next + 1];
        next += 2;
    }
    HWND first = nullptr;
    for (int i = 0; next + 1 < count; next += 2, ++i) {
        const DWORD style = std::wcstoul(args[next + 1], nullptr, 16);
        const HWND window =
            ::CreateWindowExW(0, type.lpszClassName, args[next], style, 40 + 60 * i, 40 + 50 * i,
                              320, 200, nullptr, nullptr, type.hInstance, nullptr);
        if (first == nullptr) {
            first = window;
        }
    }
    if (childText != nullptr && first != nullptr) {
        ::CreateWindowExW(0, L"STATIC", childText, WS_CHILD | WS_VISIBLE, 10, 10, 200, 20, first,
                          nullptr, type.hInstance, nullptr);
    }

    const HANDLE ready = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, args[1]);
    const HANDLE quit = ::OpenEventW(SYNCHRONIZE, FALSE, args[2]);
    if (ready == nullptr || quit == nullptr) {
        return 3;
    }
    ::SetEvent(ready);
    const DWORD until = ::GetTickCount() + 120000;
    while (static_cast<LONG>(until - ::GetTickCount()) > 0) {
        if (::MsgWaitForMultipleObjects(1, &quit, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0) {
            break;
        }
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&message);
        }
    }
    return 0;
}
