#pragma once
// Little-endian fields of a RIFF file, read byte by byte (any alignment, any host order).

#include <cstdint>

namespace chimebox {

[[nodiscard]] inline std::uint16_t read16(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

[[nodiscard]] inline std::uint32_t read32(const std::uint8_t* at) {
    return std::uint32_t{at[0]} | (std::uint32_t{at[1]} << 8) | (std::uint32_t{at[2]} << 16) |
           (std::uint32_t{at[3]} << 24);
}

}  // namespace chimebox
