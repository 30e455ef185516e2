#pragma once
// The port number of a proxy address: the integer its text starts with.

#include <cstdint>
#include <string_view>

namespace waypost {

inline constexpr std::int32_t kPortWithoutColon = 8080;

// The integer that starts `text`: leading white space, an optional sign, decimal digits up to
// the first non-digit; 0 when no digit follows (the rule of the C runtime's _wtoi, which the
// answers have always followed). Values
// beyond the 32-bit range saturate at INT32_MAX / INT32_MIN.
[[nodiscard]] std::int32_t readLeadingInteger(std::u16string_view text);
[[nodiscard]] std::int32_t readLeadingInteger(std::string_view text);

}  // namespace waypost
