#pragma once
// ScreenInfo: the 48-byte monitor record that crosses the C boundary (declared in the public
// header), and the layout every caller relies on.

#include <frametake.h>

#include <cstddef>

namespace frametake {

using ScreenInfo = ::ScreenInfo;

static_assert(sizeof(ScreenInfo) == 48);
static_assert(alignof(ScreenInfo) == 8);
static_assert(offsetof(ScreenInfo, monitorHandle) == 0);
static_assert(offsetof(ScreenInfo, width) == 4);
static_assert(offsetof(ScreenInfo, height) == 8);
static_assert(offsetof(ScreenInfo, reserved) == 12);
static_assert(offsetof(ScreenInfo, boundsX) == 16);
static_assert(offsetof(ScreenInfo, boundsY) == 24);
static_assert(offsetof(ScreenInfo, boundsWidth) == 32);
static_assert(offsetof(ScreenInfo, boundsHeight) == 40);

}  // namespace frametake
