#pragma once
// The file a desktop portal names by URI: the local path it stands for, and the picture in it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "picture_placement.h"

namespace frametake::wayland {

// The absolute path of a "file://" URI (empty or "localhost" host), its %XX escapes decoded;
// nothing for another scheme or host, a malformed escape, a NUL, or a path with "." or ".."
// steps.
[[nodiscard]] std::optional<std::string> localPathOfUri(std::string_view uri);

// Cuts `wanted` (rgb holds its RGB rows, black on entry) from the PNG `png` of the desktop's
// `extent`: false when it is not a PNG LodePNG decodes or not exactly the extent's size.
[[nodiscard]] bool cutFromPng(const std::uint8_t* png, std::size_t size, const MonitorArea& extent,
                              const Rectangle& wanted, std::uint8_t* rgb);

}  // namespace frametake::wayland
