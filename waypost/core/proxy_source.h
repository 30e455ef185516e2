#pragma once
// What the core asks the platform: the proxy for one URL, in the core's own words. Each
// platform answers from its own stack (WinHTTP's detection and the user's settings on Windows,
// libproxy on Linux).

#include <cstdio>

#include "proxy_result.h"

namespace waypost {

class ProxySource {
public:
    virtual ~ProxySource() = default;

    // The proxy for `url` (NUL-terminated UTF-8, as the caller gave it, never null) into
    // `result`, which is in its start state. Ill-formed text is the platform's to read as its
    // converter does. False when the platform could not be asked at all; the platform's own
    // line saying why has then been written to `errors` and `result` is untouched. Running out of
    // memory throws std::bad_alloc (an unanswered question would otherwise read as "no proxy").
    [[nodiscard]] virtual bool proxyFor(const char* url, ProxyResult& result,
                                        std::FILE* errors) = 0;
};

}  // namespace waypost
