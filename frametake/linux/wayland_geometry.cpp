#include "wayland_geometry.h"

#include <algorithm>
#include <cmath>

namespace frametake::wayland {
namespace {

std::int32_t deviceWidth(const Output& output) {
    return output.transform % 2 != 0 ? output.modeHeight : output.modeWidth;
}
std::int32_t deviceHeight(const Output& output) {
    return output.transform % 2 != 0 ? output.modeWidth : output.modeHeight;
}

// The output's logical rectangle; in a layout of device pixels (GNOME's default), divided by
// the output's integer scale.
struct Logical {
    double x, y, width, height;
};
Logical logicalOf(const Output& output) {
    const bool devicePixels = output.scale > 1 && output.logicalWidth == deviceWidth(output) &&
                              output.logicalHeight == deviceHeight(output);
    const double divisor = devicePixels ? output.scale : 1.0;
    return {output.logicalX / divisor, output.logicalY / divisor, output.logicalWidth / divisor,
            output.logicalHeight / divisor};
}

// Coordinates a hostile compositor sends may lie far outside what a record holds: clamped.
constexpr double kLowest = -2147483648.0;
constexpr double kHighest = 2147483647.0;
std::int32_t clamped(double value) {
    return static_cast<std::int32_t>(std::lround(std::clamp(value, kLowest, kHighest)));
}

}  // namespace

bool complete(const Output& output) {
    return output.modeWidth > 0 && output.modeHeight > 0 && output.logicalWidth > 0 &&
           output.logicalHeight > 0;
}

const Output& originOutput(const std::vector<Output>& outputs) {
    const auto atZero = std::find_if(outputs.begin(), outputs.end(), [](const Output& o) {
        return o.logicalX == 0 && o.logicalY == 0;
    });
    if (atZero != outputs.end()) {
        return *atZero;
    }
    return *std::min_element(outputs.begin(), outputs.end(), [](const Output& a, const Output& b) {
        return a.logicalY != b.logicalY ? a.logicalY < b.logicalY : a.logicalX < b.logicalX;
    });
}

MonitorArea monitorArea(const Output& output, const Output& origin, DpiMode mode) {
    const Logical logical = logicalOf(output);
    const Logical corner = logicalOf(origin);
    const double x = logical.x - corner.x;
    const double y = logical.y - corner.y;
    MonitorArea area;
    area.handle = output.name;
    if (mode == DpiMode::unaware) {
        area.left = clamped(x);
        area.top = clamped(y);
        area.right = clamped(x + logical.width);
        area.bottom = clamped(y + logical.height);
        return area;
    }
    const double scale = deviceWidth(output) / logical.width;
    area.left = clamped(x * scale);
    area.top = clamped(y * scale);
    area.right = clamped(static_cast<double>(area.left) + deviceWidth(output));
    area.bottom = clamped(static_cast<double>(area.top) + deviceHeight(output));
    return area;
}

}  // namespace frametake::wayland
