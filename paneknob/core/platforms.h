#pragma once
// The window system that a paneknob library is built with: each platform's adapter folder
// defines this.

#include <memory>

#include "window_system.h"

namespace paneknob {

// The window system for one export call: the one process-wide user32 adapter on Windows, an X
// connection of the call's own on X11 (closed when the last pointer goes). May throw
// std::bad_alloc or std::system_error; the exports turn that into "no window".
[[nodiscard]] std::shared_ptr<WindowSystem> windowSystemForCall();

}  // namespace paneknob
