#pragma once
// resolveProxy: which proxy WinHTTP would use for one URL: automatic detection, then the user's
// configured proxy, the chosen list reduced to one host and port.

#include <cstdio>

#include "../core/proxy_source.h"
#include "winhttp_calls.h"

namespace waypost {

inline constexpr char16_t kUserAgent[] = u"resolve_proxy/1.0";
inline constexpr AutoDetectOptions kAutoDetectOptions{1, 1 | 2, true};

// Asks automatic detection for `url` (NUL-terminated UTF-16, handed on unchanged), falls back
// to the user's configured proxy, and fills `result` (which must be in its start state).
// Returns false only when no session can be opened; then "WinHttpOpen failed: <code>" with
// WinHttpOpen's last error has been written to `errors` and `result` is untouched. Every platform
// string is released and the session closed before it returns.
[[nodiscard]] bool resolveProxy(WinHttpCalls& platform, const char16_t* url, ProxyResult& result,
                                std::FILE* errors = stderr);

// The core's question answered by resolveProxy over `calls`, the caller's UTF-8 URL converted
// to WinHTTP's UTF-16 as the system converter reads it (ill-formed parts become U+FFFD).
class WinHttpSource final : public ProxySource {
public:
    explicit WinHttpSource(WinHttpCalls& calls) : calls_(calls) {}
    bool proxyFor(const char* url, ProxyResult& result, std::FILE* errors) override;

private:
    WinHttpCalls& calls_;
};

}  // namespace waypost
