#pragma once
// The host and port of a proxy, from the text libproxy lists and the desktops' settings write.

#include <cstdint>
#include <string>
#include <string_view>

namespace waypost {

// The host and port of a proxy URL's text after "scheme://". A proxy URL names a server and
// nothing under it, and a password may hold '/', '?' or '#' unescaped (as people write them into
// http_proxy), so everything up to the last '@' is user information and never part of the
// answer; the host and port run from there to the first '/', '?' or '#'. (A general URL parser
// would end the authority at the first '/' and take "user:12" for the host and port of
// "user:12/34@gate:3128".)
[[nodiscard]] std::string_view proxyAddressOf(std::string_view afterScheme);

struct HostPort {
    std::string host;
    std::int32_t port = 0;
};

// "host:port" split at its last ':' outside brackets (an IPv6 address keeps its own), made
// well-formed UTF-8 (U+FFFD for each ill-formed part); the port read by readLeadingInteger, 8080
// without a colon.
[[nodiscard]] HostPort splitHostPort(std::string_view address);

}  // namespace waypost
