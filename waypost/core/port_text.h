#pragma once
// The port number of a proxy address, read as the Windows C runtime reads it.

#include <cstdint>
#include <string_view>

namespace waypost {

inline constexpr std::int32_t kPortWithoutColon = 8080;

// The integer that starts `text`, read like the C runtime's _wtoi: leading white space, an
// optional sign, decimal digits up to the first non-digit; 0 when no digit follows. Values
// beyond the 32-bit range saturate at INT32_MAX / INT32_MIN.
[[nodiscard]] std::int32_t readLeadingInteger(std::u16string_view text);
[[nodiscard]] std::int32_t readLeadingInteger(std::string_view text);

}  // namespace waypost
