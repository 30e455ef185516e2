#pragma once
// The four window actions, each on a top-level window found afresh by its title (8-bit, in the
// process's active code page). No state is kept between calls.

#include <cstdint>

#include "window_system.h"

namespace paneknob {

inline constexpr std::int32_t kDone = 0;
inline constexpr std::int32_t kNoWindow = -1;
inline constexpr std::int32_t kNotActivated = -2;
// minimize where the window system cannot minimize at all (X11 without a window manager).
inline constexpr std::int32_t kNotMinimized = -2;

// The window with that whole title, or null; a null title finds nothing.
[[nodiscard]] WindowSystem::Window findWindowByTitle(WindowSystem& platform, const char* title);

// Takes the minimize and maximize boxes away, the window otherwise left as it is.
[[nodiscard]] std::int32_t setWindowFlags(WindowSystem& platform, const char* title);
// Minimizes it; kNotMinimized when the window system cannot, the window left as it was.
[[nodiscard]] std::int32_t minimize(WindowSystem& platform, const char* title);
// Shows it in its last normal size and position without activating it.
[[nodiscard]] std::int32_t restore(WindowSystem& platform, const char* title);
// Restores it and makes it the active window; kNotActivated when it did not become active.
[[nodiscard]] std::int32_t restoreAndActivate(WindowSystem& platform, const char* title);

}  // namespace paneknob
