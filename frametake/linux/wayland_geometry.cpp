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

// The output's own scale: device pixels per logical unit.
double scaleOf(const Output& output) {
    return static_cast<double>(deviceWidth(output)) / output.logicalWidth;
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
    const std::int64_t x = std::int64_t{output.logicalX} - origin.logicalX;
    const std::int64_t y = std::int64_t{output.logicalY} - origin.logicalY;
    MonitorArea area;
    area.handle = output.name;
    if (mode == DpiMode::unaware) {
        area.left = clamped(static_cast<double>(x));
        area.top = clamped(static_cast<double>(y));
        area.right = clamped(static_cast<double>(x) + output.logicalWidth);
        area.bottom = clamped(static_cast<double>(y) + output.logicalHeight);
        return area;
    }
    const double scale = scaleOf(output);
    area.left = clamped(static_cast<double>(x) * scale);
    area.top = clamped(static_cast<double>(y) * scale);
    area.right = clamped(static_cast<double>(area.left) + deviceWidth(output));
    area.bottom = clamped(static_cast<double>(area.top) + deviceHeight(output));
    return area;
}

}  // namespace frametake::wayland
