#pragma once
// What window control asks of the window system, in the core's own words: the top-level window
// with a title (the caller's text, letter case ignored), and the four things done to it. Each
// platform does them its own way (user32's styles and show commands on Windows, EWMH and ICCCM
// requests on X11). Threads: any thread may call; activation acts as the window system defines it
// for the calling thread.

#include <ownkit/owned.h>

namespace paneknob {

class WindowSystem {
public:
    using Window = ownkit::OpaqueHandle<struct WindowTag>;

    virtual ~WindowSystem() = default;

    // The top-level window whose whole title equals `title` (NUL-terminated, in the process's
    // 8-bit character set, never null), ignoring case; null if none, and null when the window
    // system cannot read the text: an unconverted or cut title is never searched for.
    [[nodiscard]] virtual Window findTopLevelWindow(const char* title) = 0;

    // Takes the minimize and maximize boxes away and nothing else; the window keeps its place,
    // size, stacking and activation.
    virtual void removeBoxes(Window window) = 0;
    // Minimizes it; false when the window system cannot (X11 without a window manager: nothing
    // there could ever give the window back), having changed nothing.
    [[nodiscard]] virtual bool minimize(Window window) = 0;
    // Shows it in its last normal size and place without activating it.
    virtual void showWithoutActivating(Window window) = 0;
    // Restores it and makes it the active window; whether it became the active one.
    [[nodiscard]] virtual bool restoreAndActivate(Window window) = 0;
};

}  // namespace paneknob
