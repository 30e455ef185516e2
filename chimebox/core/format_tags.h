#pragma once
// The wave format tags chimebox knows, in one list: what the reader accepts, what the source
// format check judges, and what an engine may refuse by tag.

#include <cstdint>

namespace chimebox::tags {

inline constexpr std::uint16_t kPcm = 0x0001;
inline constexpr std::uint16_t kAdpcm = 0x0002;
inline constexpr std::uint16_t kIeeeFloat = 0x0003;
inline constexpr std::uint16_t kWmaudio2 = 0x0161;
inline constexpr std::uint16_t kWmaudio3 = 0x0162;
inline constexpr std::uint16_t kXma2 = 0x0166;
inline constexpr std::uint16_t kExtensible = 0xFFFE;

}  // namespace chimebox::tags
