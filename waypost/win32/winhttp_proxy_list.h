#pragma once
// Reduction of a WinHTTP proxy list ("entry;entry", each "host", "host:port" or
// "scheme=host[:port]") to one host and port.

#include "../core/port_text.h"
#include "../core/proxy_result.h"

namespace waypost {

// Chooses the "http=" entry (first occurrence anywhere, case-sensitive), else the "https="
// entry, else the first entry, and splits it at its last ':'. Sets result.host and
// result.port only. Never refuses a list: every shape reduces to some host and port.
// `list` is NUL-terminated and may be null (treated as empty).
void parseProxyList(const char16_t* list, ProxyResult& result);

}  // namespace waypost
