#pragma once
// The user32 calls that window control makes on Windows, as a table: user32_system_calls.cpp fills
// it with user32 itself, the unit tests with a scripted fake.

#include <cstdint>

#include "../core/window_system.h"

namespace paneknob {

// Units of the title buffer, terminator included.
inline constexpr int kTitleCapacity = 4096;

inline constexpr std::int64_t kMinimizeBox = 0x20000;
inline constexpr std::int64_t kMaximizeBox = 0x10000;

inline constexpr int kShowMinimize = 6;    // SW_MINIMIZE
inline constexpr int kShowNoActivate = 4;  // SW_SHOWNOACTIVATE
inline constexpr int kShowRestore = 9;     // SW_RESTORE
// SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED. Without
// SWP_NOACTIVATE the window manager activates the window, which raises it to the top: removing
// the boxes must leave position, size, Z order and the active window alone.
inline constexpr std::uint32_t kRefreshFrameFlags = 0x0037;

// How long a call waits for another thread's window to answer before it acts: its actions
// send that thread messages and wait for them to be handled, which a window whose thread no
// longer pumps messages never does.
inline constexpr std::uint32_t kAnswerMilliseconds = 1500;

class User32Calls {
public:
    using Window = WindowSystem::Window;

    virtual ~User32Calls() = default;

    // Converts the NUL-terminated `title` (terminator included) into `buffer` of `capacity`
    // UTF-16 units; the number of units written, 0 when it does not fit or cannot be converted.
    [[nodiscard]] virtual int convertTitle(const char* title, char16_t* buffer, int capacity) = 0;
    // The top-level window whose whole title equals `title`, ignoring case; null if none.
    [[nodiscard]] virtual Window findTopLevelWindow(const char16_t* title) = 0;

    // True when `window` belongs to the calling thread, or its thread handled a message within
    // `milliseconds` and is not one the system counts as hung.
    [[nodiscard]] virtual bool answers(Window window, std::uint32_t milliseconds) = 0;
    [[nodiscard]] virtual std::int64_t style(Window window) = 0;
    virtual void setStyle(Window window, std::int64_t style) = 0;
    // Lets a changed style take effect, with `flags` (position, size and Z order kept).
    virtual void refreshFrame(Window window, std::uint32_t flags) = 0;
    virtual void show(Window window, int command) = 0;
    // True when the window became the foreground window.
    [[nodiscard]] virtual bool bringToForeground(Window window) = 0;
    // Makes it the active window; the previously active window, or null on failure.
    [[nodiscard]] virtual Window activate(Window window) = 0;
};

}  // namespace paneknob
