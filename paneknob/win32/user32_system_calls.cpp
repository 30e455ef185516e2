// The user32 calls of user32_calls.h over user32 itself.

#include <windows.h>

#include <memory>

#include "../core/platforms.h"
#include "user32_windows.h"

namespace paneknob {
namespace {

HWND handle(WindowSystem::Window window) {
    return reinterpret_cast<HWND>(window);
}
WindowSystem::Window windowOf(HWND window) {
    return reinterpret_cast<WindowSystem::Window>(window);
}

class SystemUser32Calls final : public User32Calls {
public:
    int convertTitle(const char* title, char16_t* buffer, int capacity) override {
        return ::MultiByteToWideChar(CP_ACP, 0, title, -1, reinterpret_cast<wchar_t*>(buffer),
                                     capacity);
    }
    Window findTopLevelWindow(const char16_t* title) override {
        return windowOf(::FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(title)));
    }
    bool answers(Window window, std::uint32_t milliseconds) override {
        if (::GetWindowThreadProcessId(handle(window), nullptr) == ::GetCurrentThreadId()) {
            return true;  // its messages are handled by this very call
        }
        DWORD_PTR ignored = 0;
        return ::SendMessageTimeoutW(handle(window), WM_NULL, 0, 0,
                                     SMTO_ABORTIFHUNG | SMTO_BLOCK | SMTO_ERRORONEXIT, milliseconds,
                                     &ignored) != 0;
    }
    std::int64_t style(Window window) override {
        return ::GetWindowLongPtrW(handle(window), GWL_STYLE);
    }
    void setStyle(Window window, std::int64_t style) override {
        ::SetWindowLongPtrW(handle(window), GWL_STYLE, static_cast<LONG_PTR>(style));
    }
    void refreshFrame(Window window, std::uint32_t flags) override {
        ::SetWindowPos(handle(window), nullptr, 0, 0, 0, 0, flags);
    }
    void show(Window window, int command) override { ::ShowWindow(handle(window), command); }
    bool bringToForeground(Window window) override {
        return ::SetForegroundWindow(handle(window)) != FALSE;
    }
    Window activate(Window window) override { return windowOf(::SetActiveWindow(handle(window))); }
};

}  // namespace

std::shared_ptr<WindowSystem> windowSystemForCall() {
    static SystemUser32Calls user32;
    static User32Windows windows(user32);
    return std::shared_ptr<WindowSystem>(std::shared_ptr<void>(), &windows);  // owns nothing
}

}  // namespace paneknob
