#pragma once
// The Windows adapters of frametake.

#include "../core/capture_platform.h"
#include "../core/screen_platform.h"

namespace frametake {

[[nodiscard]] ScreenPlatform& systemScreenPlatform();
[[nodiscard]] CapturePlatform& systemCapturePlatform();

}  // namespace frametake
