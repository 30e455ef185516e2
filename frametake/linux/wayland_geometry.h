#pragma once
// The arithmetic of the Wayland monitor listing, apart from any connection: each output as the
// compositor describes it (wl_output's current mode and transform, xdg-output's logical
// rectangle) turned into a monitor record's rectangle in either mode.
//
// The unaware mode reports the compositor's logical units: its scale stands for Windows' DPI
// factor. The per-monitor mode reports device pixels: the output's size is its current mode
// (turned for a 90 or 270 degree transform), and its position is its logical position times
// its own scale (mode width / logical width). Outputs of one scale touch as they do in logical
// units; outputs of different scales keep their logical order, and where a scaled output meets
// another its device rectangle may overlap it or leave a gap, since no single device-pixel
// grid holds both.
//
// GNOME's default layout gives xdg-output rectangles in device pixels (its logical size is the
// mode's), with the factor in wl_output.scale: there an output whose logical size is its
// device size and whose scale is above 1 has its logical rectangle divided by that scale.

#include <cstdint>
#include <vector>

#include "../core/screen_platform.h"

namespace frametake::wayland {

struct Output {
    std::uint32_t name = 0;      // the wl_output global's name: stable while the compositor runs
    std::int32_t modeWidth = 0;  // current mode, device pixels, before the transform
    std::int32_t modeHeight = 0;
    std::int32_t transform = 0;  // wl_output.transform: odd values turn by 90 or 270 degrees
    std::int32_t logicalX = 0;   // xdg-output, the compositor's logical units
    std::int32_t logicalY = 0;
    std::int32_t logicalWidth = 0;
    std::int32_t logicalHeight = 0;
    std::int32_t scale = 1;  // wl_output.scale: the integer factor clients draw at
};

// Whether the compositor described the output fully: a mode and a logical rectangle, each of
// positive size.
[[nodiscard]] bool complete(const Output& output);

// The output whose logical corner is the desktop's origin: the one at logical (0, 0), else the
// top-left-most (smallest y, then x). `outputs` is not empty.
[[nodiscard]] const Output& originOutput(const std::vector<Output>& outputs);

// The record's rectangle of `output` (complete) in `mode`, relative to `origin`.
[[nodiscard]] MonitorArea monitorArea(const Output& output, const Output& origin, DpiMode mode);

}  // namespace frametake::wayland
