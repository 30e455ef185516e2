#include "portal_file.h"

#include <algorithm>
#include <cstdlib>

#include <ownkit/owned.h>

#include "lodepng.h"
#include "textkit/percent.h"

namespace frametake::wayland {
namespace {

bool hasDotStep(std::string_view path) {
    for (std::size_t at = 0; at < path.size();) {
        const std::size_t end = std::min(path.find('/', at + 1), path.size());
        const std::string_view step = path.substr(at + 1, end - at - 1);
        if (step == "." || step == "..") {
            return true;
        }
        at = end;
    }
    return false;
}

}  // namespace

std::optional<std::string> localPathOfUri(std::string_view uri) {
    constexpr std::string_view kScheme = "file://";
    if (uri.substr(0, kScheme.size()) != kScheme) {
        return std::nullopt;
    }
    uri.remove_prefix(kScheme.size());
    const std::size_t slash = uri.find('/');
    const std::string_view host = uri.substr(0, slash);
    if (slash == std::string_view::npos || (!host.empty() && host != "localhost")) {
        return std::nullopt;
    }
    const std::string_view escaped = uri.substr(slash);
    if (escaped.find_first_of("?#") != std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<std::string> decoded = textkit::decodePercent(escaped);
    if (!decoded) {
        return std::nullopt;
    }
    const std::string& path = *decoded;
    if (hasDotStep(path)) {
        return std::nullopt;
    }
    return path;
}

bool cutFromPng(const std::uint8_t* png, std::size_t size, const MonitorArea& extent,
                const Rectangle& wanted, std::uint8_t* rgb) {
    const auto fits = [&](unsigned width, unsigned height) {
        return std::int64_t{width} == std::int64_t{extent.right} - extent.left &&
               std::int64_t{height} == std::int64_t{extent.bottom} - extent.top;
    };
    // The size the file claims is checked before anything is decoded: a picture of another
    // size (or a small file that claims a huge one) is never expanded.
    unsigned width = 0;
    unsigned height = 0;
    LodePNGState header;
    lodepng_state_init(&header);
    const unsigned inspected = lodepng_inspect(&width, &height, &header, png, size);
    lodepng_state_cleanup(&header);
    if (inspected != 0 || !fits(width, height)) {
        return false;
    }
    unsigned char* decoded = nullptr;
    const unsigned error = lodepng_decode24(&decoded, &width, &height, png, size);
    const ownkit::Owned<unsigned char*, &std::free> picture(decoded);
    if (error != 0 || !picture || !fits(width, height)) {
        return false;
    }
    placeInto({picture.get(), width, height, std::size_t{width} * 3, kRgb, false}, extent, wanted,
              rgb);
    return true;
}

}  // namespace frametake::wayland
