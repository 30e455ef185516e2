#pragma once
// Reduction of a platform proxy list ("entry;entry", each "host", "host:port" or
// "scheme=host[:port]") to one host and port.

#include <cstdint>
#include <string_view>

#include "proxy_result.h"

namespace waypost {

inline constexpr std::int32_t kPortWithoutColon = 8080;

// Chooses the "http=" entry (first occurrence anywhere, case-sensitive), else the "https="
// entry, else the first entry, and splits it at its last ':'. Sets result.host and
// result.port only. Never refuses a list: every shape reduces to some host and port.
// `list` is NUL-terminated and may be null (treated as empty).
void parseProxyList(const char16_t* list, ProxyResult& result);

// The integer that starts `text`, read like the C runtime's _wtoi: leading white space, an
// optional sign, decimal digits up to the first non-digit; 0 when no digit follows. Values
// beyond the 32-bit range saturate at INT32_MAX / INT32_MIN.
[[nodiscard]] std::int32_t readLeadingInteger(std::u16string_view text);

}  // namespace waypost
