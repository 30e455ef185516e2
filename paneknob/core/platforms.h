#pragma once
// The window platform that a paneknob library is built with: each platform's adapter folder
// defines this.

#include <cstdint>

#include "window_system.h"

namespace paneknob {

using WindowAction = std::int32_t (*)(WindowSystem& system, const char* title);

// Runs `action` on the system's windows: the one process-wide user32 adapter on
// Windows, a connection of the call's own on X11. No exception leaves it: an action that
// cannot be run finds no window.
[[nodiscard]] std::int32_t runWithSystemPlatform(WindowAction action, const char* title) noexcept;

}  // namespace paneknob
