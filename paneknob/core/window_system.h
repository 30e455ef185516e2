#pragma once
// What window control asks of the window system, in the core's own words: the top-level window
// with a title (the caller's text, letter case ignored), and the four things done to it. Each
// platform does them its own way (user32's styles and show commands on Windows, EWMH and ICCCM
// requests on X11). Threads: any thread may call; activation acts as the window system defines it
// for the calling thread.

#include <ownkit/owned.h>

#include <optional>

namespace paneknob {

class WindowSystem {
public:
    using Window = ownkit::OpaqueHandle<struct WindowTag>;

    virtual ~WindowSystem() = default;

    // The top-level window whose whole title equals `title` (NUL-terminated, in the process's
    // 8-bit character set, never null), ignoring case; null if none, and null when the window
    // system cannot read the text: an unconverted or cut title is never searched for. Nothing
    // (nullopt) when the window system could not be asked at all (an X server that does not
    // answer): whether such a window exists is not known.
    [[nodiscard]] virtual std::optional<Window> findTopLevelWindow(const char* title) = 0;

    // Each action answers false when it was not done: the window (its thread's message loop),
    // the window manager or the server did not answer within the call's bound, or cannot do
    // it at all. The window is then left as it was, as far as the window system lets anything
    // be known.

    // Takes the minimize and maximize boxes away and nothing else; the window keeps its place,
    // size, stacking and activation.
    [[nodiscard]] virtual bool removeBoxes(Window window) = 0;
    // Minimizes it (X11 without a window manager cannot: nothing there could ever give the
    // window back).
    [[nodiscard]] virtual bool minimize(Window window) = 0;
    // Shows it in its last normal size and place without activating it.
    [[nodiscard]] virtual bool showWithoutActivating(Window window) = 0;
    // Restores it and makes it the active window; whether it became the active one.
    [[nodiscard]] virtual bool restoreAndActivate(Window window) = 0;
};

}  // namespace paneknob
