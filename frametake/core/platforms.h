#pragma once
// The platform adapters that a frametake library is built with: each platform's adapter folder
// defines these two.

#include "capture_platform.h"
#include "screen_platform.h"

namespace frametake {

[[nodiscard]] ScreenPlatform& systemScreenPlatform();
[[nodiscard]] CapturePlatform& systemCapturePlatform();

}  // namespace frametake
