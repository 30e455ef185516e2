#pragma once
// A rectangle of a Wayland desktop as RGB pixels, by the first way the desktop offers this
// client: the compositor's wlr-screencopy (the wlroots compositors: sway, Hyprland, labwc),
// KWin's ScreenShot2 where granted (kwin_screenshot.h), else the Screenshot portal (GNOME;
// screenshot_portal.h). Coordinates are device pixels relative to the desktop's origin, as
// the per-monitor records give them (wayland_geometry.h).

#include <chrono>
#include <cstdint>

#include "wayland_session.h"

namespace frametake::wayland {

// Fills `rgb` (width x height pixels, 3 bytes each, top row first, black on entry) with the
// parts of the rectangle that lie on outputs; the rest stays black. Every wait ends by `limit`
// after the call began. Reached::failed when no way serves, one refuses the copy, or copies in
// a layout not read here (a turned output, a pixel format other than 8-bit RGB): never a
// black or partial picture in place of the screen.
[[nodiscard]] Reached grabRectangle(std::chrono::milliseconds limit, std::int32_t x, std::int32_t y,
                                    std::int32_t width, std::int32_t height, std::uint8_t* rgb);

}  // namespace frametake::wayland
