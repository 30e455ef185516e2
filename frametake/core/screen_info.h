#pragma once
// ScreenInfo: the 48-byte monitor record that crosses the C boundary. The caller allocates it;
// the library fills every field but bytes 12 to 15, which it never writes.

#include <cstddef>
#include <cstdint>

namespace frametake {

struct ScreenInfo {
    std::int32_t monitorHandle;  // the monitor's handle, low 32 bits
    std::int32_t width;          // right - left
    std::int32_t height;         // bottom - top
    std::int32_t reserved;       // alignment gap, never written
    double boundsX;              // left, virtual-desktop coordinates
    double boundsY;              // top
    double boundsWidth;          // right - left
    double boundsHeight;         // bottom - top
};

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
