#include "portal_file.h"

#include <algorithm>
#include <cstdlib>

#include <ownkit/owned.h>

#include "lodepng.h"

namespace frametake::wayland {
namespace {

int hexValue(char digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    return -1;
}

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
    std::string path;
    for (std::size_t at = slash; at < uri.size(); ++at) {
        char next = uri[at];
        if (next == '?' || next == '#') {
            return std::nullopt;
        }
        if (next == '%') {
            const int high = at + 2 < uri.size() ? hexValue(uri[at + 1]) : -1;
            const int low = high >= 0 ? hexValue(uri[at + 2]) : -1;
            if (low < 0) {
                return std::nullopt;
            }
            next = static_cast<char>(high * 16 + low);
            at += 2;
        }
        if (next == '\0') {
            return std::nullopt;
        }
        path += next;
    }
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
