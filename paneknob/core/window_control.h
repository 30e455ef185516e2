#pragma once
// The four window actions, each on a top-level window found afresh by its title (8-bit, in the
// process's active code page). No state is kept between calls.

#include <cstdint>

#include "window_system.h"

namespace paneknob {

inline constexpr std::int32_t kDone = 0;
inline constexpr std::int32_t kNoWindow = -1;
// The action was not done: the window, the window manager or the server did not answer within
// the call's bound, or the window system cannot do it (restoreAndActivate: the window did not
// become the active one). The window is left as it was.
inline constexpr std::int32_t kNotDone = -2;
// The window system could not be asked at all (Linux: no X server or Wayland compositor could be
// reached, or it did not answer the lookup in time): whether the window exists is not known and
// nothing was done. Never on Windows, where user32 always answers.
inline constexpr std::int32_t kUnreachable = -3;

// The window with that whole title, or null; a null title finds nothing; nullopt when the
// window system could not be asked.
[[nodiscard]] std::optional<WindowSystem::Window> findWindowByTitle(WindowSystem& platform,
                                                                    const char* title);

// Each action answers kDone, kNoWindow, kNotDone or kUnreachable.
// Takes the minimize and maximize boxes away, the window otherwise left as it is.
[[nodiscard]] std::int32_t setWindowFlags(WindowSystem& platform, const char* title);
// Minimizes it.
[[nodiscard]] std::int32_t minimize(WindowSystem& platform, const char* title);
// Shows it in its last normal size and position without activating it.
[[nodiscard]] std::int32_t restore(WindowSystem& platform, const char* title);
// Restores it and makes it the active window.
[[nodiscard]] std::int32_t restoreAndActivate(WindowSystem& platform, const char* title);

}  // namespace paneknob
