#pragma once
// The proxy for one URL from libproxy, which answers from the desktop's proxy settings, the
// proxy environment variables and, where configured, a PAC script, all in its one query.
// Running out of memory throws std::bad_alloc, which the core's callers turn into a failed
// answer.

#include "../core/proxy_source.h"

namespace waypost {

class LibproxySource final : public ProxySource {
public:
    // When libproxy cannot start (its factory is missing: memory), "WinHttpOpen failed: 8" goes
    // to `errors`, the message the Windows program gives when it cannot ask at all.
    bool proxyFor(const char16_t* url, ProxyResult& result, std::FILE* errors) override;
};

// libproxy's answer, its list of proxy URLs in order ("http://host:port", "socks5://host:port",
// "direct://"), as the decision. Entries without a scheme are skipped; the first other entry
// decides: "direct://" or one without an address means no proxy; else that proxy's address
// (user information dropped, the path cut) split at its last ':' into host and port (read as
// the C runtime's _wtoi; 8080 without a colon), a SOCKS proxy's host written "socks=host" as
// the Windows proxy list names it. An empty list means no proxy.
void readLibproxyAnswer(const char* const* proxies, ProxyResult& result);

}  // namespace waypost
