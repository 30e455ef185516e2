#pragma once
// The four window actions, each on a top-level window found afresh by its title (8-bit, in the
// process's active code page). No state is kept between calls.

#include <cstdint>

#include "window_platform.h"

namespace paneknob {

inline constexpr std::int32_t kDone = 0;
inline constexpr std::int32_t kNoWindow = -1;
inline constexpr std::int32_t kNotActivated = -2;

// Units of the title buffer, terminator included.
inline constexpr int kTitleCapacity = 4096;

// The window with that whole title, or null. A null title, a title whose conversion fails or
// needs more than kTitleCapacity units, or a failed allocation finds nothing: no truncated or
// unconverted text is ever searched for. The buffer is released before this returns.
[[nodiscard]] WindowPlatform::Window findWindowByTitle(WindowPlatform& platform, const char* title);

// Clears the minimize and maximize boxes (every other style bit kept) and refreshes the frame
// without moving, resizing, restacking or activating the window.
[[nodiscard]] std::int32_t setWindowFlags(WindowPlatform& platform, const char* title);
[[nodiscard]] std::int32_t minimize(WindowPlatform& platform, const char* title);
// Shows it in its last normal size and position without activating it.
[[nodiscard]] std::int32_t restore(WindowPlatform& platform, const char* title);
// Restores it and brings it to the foreground, else makes it the active window; kNotActivated
// when neither happened.
[[nodiscard]] std::int32_t restoreAndActivate(WindowPlatform& platform, const char* title);

}  // namespace paneknob
