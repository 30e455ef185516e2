#include "x11_geometry.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>

namespace frametake::x11 {
namespace {

std::int32_t scaled(std::int64_t edge, DpiMode mode, double dpi) {
    if (mode == DpiMode::perMonitorAware) {
        return static_cast<std::int32_t>(edge);
    }
    return static_cast<std::int32_t>(std::lround(static_cast<double>(edge) * kLogicalDpi / dpi));
}

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// One channel of a pixel value, scaled from its mask's width to 8 bits.
struct Channel {
    explicit Channel(std::uint32_t bits)
        : shift(bits == 0 ? 0 : static_cast<std::uint32_t>(std::countr_zero(bits))),
          max(bits == 0 ? 0 : bits >> shift),
          mask(bits) {}
    [[nodiscard]] std::uint8_t of(std::uint32_t pixel) const {
        if (max == 0) {
            return 0;
        }
        const std::uint32_t value = (pixel & mask) >> shift;
        return static_cast<std::uint8_t>(max == 0xFF ? value : (value * 255 + max / 2) / max);
    }
    std::uint32_t shift;
    std::uint32_t max;
    std::uint32_t mask;
};

}  // namespace

Point desktopOrigin(const std::vector<RootMonitor>& monitors) {
    if (monitors.empty()) {
        return {};
    }
    const auto primary = std::find_if(monitors.begin(), monitors.end(),
                                      [](const RootMonitor& m) { return m.primary; });
    const RootMonitor& origin = primary != monitors.end() ? *primary : monitors.front();
    return {origin.x, origin.y};
}

MonitorArea desktopArea(const RootMonitor& monitor, Point origin, DpiMode mode, double dpi) {
    const std::int64_t left = std::int64_t{monitor.x} - origin.x;
    const std::int64_t top = std::int64_t{monitor.y} - origin.y;
    MonitorArea area;
    area.handle = monitor.name;
    area.left = scaled(left, mode, dpi);
    area.top = scaled(top, mode, dpi);
    area.right = scaled(left + monitor.width, mode, dpi);
    area.bottom = scaled(top + monitor.height, mode, dpi);
    return area;
}

double xftDpi(std::string_view resources) {
    double dpi = kLogicalDpi;
    while (!resources.empty()) {
        const std::size_t end = resources.find('\n');
        const std::string_view line = resources.substr(0, end);
        resources = end == std::string_view::npos ? std::string_view{} : resources.substr(end + 1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || trim(line.substr(0, colon)) != "Xft.dpi") {
            continue;
        }
        const std::string_view value = trim(line.substr(colon + 1));
        double parsed = 0;
        const auto [rest, error] =
            std::from_chars(value.data(), value.data() + value.size(), parsed);
        if (error == std::errc{} && rest == value.data() + value.size() && parsed >= 1 &&
            std::isfinite(parsed)) {
            dpi = parsed;  // the last entry wins, as in the resource database
        }
    }
    return dpi;
}

Span clip(std::int64_t start, std::int64_t length, std::int64_t limit) {
    const std::int64_t first = std::clamp<std::int64_t>(start, 0, limit);
    const std::int64_t last = std::clamp<std::int64_t>(start + length, 0, limit);
    return {first, std::max<std::int64_t>(last - first, 0)};
}

bool supported(const PixelLayout& layout) {
    const std::uint32_t bits = layout.bitsPerPixel;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return false;
    }
    const std::uint64_t range = std::uint64_t{1} << bits;
    return layout.redMask < range && layout.greenMask < range && layout.blueMask < range;
}

void convertPixels(const PixelLayout& layout, const std::uint8_t* source, std::size_t count,
                   std::uint8_t* rgb) {
    if (layout.bitsPerPixel == 32 && !layout.mostSignificantFirst && layout.redMask == 0xFF0000 &&
        layout.greenMask == 0xFF00 && layout.blueMask == 0xFF) {
        // The usual true-colour layout: bytes blue, green, red, unused.
        for (std::size_t i = 0; i < count; ++i, source += 4, rgb += 3) {
            rgb[0] = source[2];
            rgb[1] = source[1];
            rgb[2] = source[0];
        }
        return;
    }
    const Channel red(layout.redMask);
    const Channel green(layout.greenMask);
    const Channel blue(layout.blueMask);
    const std::size_t bytes = layout.bitsPerPixel / 8;
    for (std::size_t i = 0; i < count; ++i, source += bytes, rgb += 3) {
        std::uint32_t pixel = 0;
        for (std::size_t b = 0; b < bytes; ++b) {
            const std::size_t shift = 8 * (layout.mostSignificantFirst ? bytes - 1 - b : b);
            pixel |= static_cast<std::uint32_t>(source[b]) << shift;
        }
        rgb[0] = red.of(pixel);
        rgb[1] = green.of(pixel);
        rgb[2] = blue.of(pixel);
    }
}

}  // namespace frametake::x11
