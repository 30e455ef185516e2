#pragma once
// What window control needs from the window manager: the title converted from the process's
// 8-bit code page, a top-level window found by its whole title (letter case ignored), its style,
// a frame refresh, show commands, and the two activation calls.
// Threads: any thread may call; activation acts as the window manager defines it for the
// calling thread.

#include <cstdint>

namespace paneknob {

inline constexpr std::int64_t kMinimizeBox = 0x20000;
inline constexpr std::int64_t kMaximizeBox = 0x10000;

inline constexpr int kShowMinimize = 6;    // SW_MINIMIZE
inline constexpr int kShowNoActivate = 4;  // SW_SHOWNOACTIVATE
inline constexpr int kShowRestore = 9;     // SW_RESTORE
// SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED. Without
// SWP_NOACTIVATE the window manager activates the window, which raises it to the top: removing
// the boxes must leave position, size, Z order and the active window alone.
inline constexpr std::uint32_t kRefreshFrameFlags = 0x0037;

class WindowPlatform {
public:
    using Window = void*;

    virtual ~WindowPlatform() = default;

    // Converts the NUL-terminated `title` (terminator included) into `buffer` of `capacity`
    // UTF-16 units; the number of units written, 0 when it does not fit or cannot be converted.
    [[nodiscard]] virtual int convertTitle(const char* title, char16_t* buffer, int capacity) = 0;
    // The top-level window whose whole title equals `title`, ignoring case; null if none.
    [[nodiscard]] virtual Window findTopLevelWindow(const char16_t* title) = 0;

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
