#pragma once
// The Windows adapter of paneknob.

#include "../core/window_platform.h"

namespace paneknob {

[[nodiscard]] WindowPlatform& systemWindowPlatform();

}  // namespace paneknob
