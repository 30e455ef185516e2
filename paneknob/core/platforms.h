#pragma once
// The window platform that a paneknob library is built with: each platform's adapter folder
// defines this.

#include <cstdint>

#include "window_platform.h"

namespace paneknob {

using WindowAction = std::int32_t (*)(WindowPlatform& platform, const char* title);

// Runs `action` on the system's window platform: the one process-wide user32 adapter on
// Windows, a connection of the call's own on X11. No exception leaves it: an action that
// cannot be run finds no window.
[[nodiscard]] std::int32_t runWithSystemPlatform(WindowAction action, const char* title) noexcept;

}  // namespace paneknob
