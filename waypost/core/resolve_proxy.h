#pragma once
// resolveProxy: which proxy the platform's HTTP stack would use for one URL.

#include <cstdio>

#include "proxy_platform.h"
#include "proxy_result.h"

namespace waypost {

inline constexpr char16_t kUserAgent[] = u"resolve_proxy/1.0";
inline constexpr AutoDetectOptions kAutoDetectOptions{1, 1 | 2, true};

// Asks automatic detection for `url` (NUL-terminated UTF-16, handed on unchanged), falls back
// to the user's configured proxy, and fills `result` (which must be in its start state).
// Returns false only when no session can be opened; then "WinHttpOpen failed: <code>\n" has
// been written to `errors` and `result` is untouched. Every platform string is released and
// the session closed before it returns.
[[nodiscard]] bool resolveProxy(ProxyPlatform& platform, const char16_t* url, ProxyResult& result,
                                std::FILE* errors = stderr);

}  // namespace waypost
