#pragma once
// The proxy for one URL from libproxy, which answers from the desktop's proxy settings, the
// proxy environment variables and, where configured, a PAC script, all in its one query.
// Running out of memory throws std::bad_alloc, which the core's callers turn into a failed
// answer.
//
// A PAC script may never end and a PAC server may never answer, and libproxy offers no way to
// stop its query. So each query runs on a thread of its own that the caller waits for at most
// kQueryLimit; a query still running then is left to finish by itself (its thread keeps what it
// uses, the libproxy factory it is stuck in included, which the process no longer keeps for
// later queries) and the answer is the one a failing script gives, no proxy. At most
// kMaxLateQueries such queries may be running; while that many are, a query is answered the same
// way at once.

#include <chrono>
#include <string_view>

#include "../core/proxy_source.h"

namespace waypost {

inline constexpr std::chrono::seconds kQueryLimit{5};
// What a query writes when libproxy cannot start: its proxy factory could not be made, which
// happens only when memory runs out.
inline constexpr char kCannotStartMessage[] = "libproxy could not start: out of memory\n";
inline constexpr int kMaxLateQueries = 2;

// How many queries that outlived their wait are still running (for the program's exit).
[[nodiscard]] int lateQueries();

class LibproxySource final : public ProxySource {
public:
    // libproxy and a PAC script take text: `url` goes to them as well-formed UTF-8, each
    // ill-formed part as U+FFFD. When libproxy cannot start (no proxy factory: memory ran
    // out), kCannotStartMessage goes to `errors`.
    bool proxyFor(const char* url, ProxyResult& result, std::FILE* errors) override;
};

// libproxy's answer, its list of proxy URLs in order ("http://host:port", "socks5://host:port",
// "direct://"), as the decision. Entries without a scheme are skipped; the first other entry
// decides: "direct://" or one without an address means no proxy; else that proxy's host and
// port (proxyAddressOf, then splitHostPort: proxy_address.h), a SOCKS proxy's host written
// "socks=host" as the Windows proxy list names it. An empty list means no proxy.
void readLibproxyAnswer(const char* const* proxies, ProxyResult& result);

}  // namespace waypost
