#pragma once
// The answer of one proxy resolution.

#include <cstdint>
#include <string>

namespace waypost {

// Created in the start state (empty host, port 0, not direct) and filled by resolveProxy.
// After a successful resolution either `direct` is true and host and port keep their start
// values, or `direct` is false and host and port describe the chosen entry (host may be empty).
struct ProxyResult {
    std::string host;  // UTF-8, as the platform reported it (scheme prefixes, brackets kept)
    std::int32_t port = 0;
    bool direct = false;
};

}  // namespace waypost
